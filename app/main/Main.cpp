// Process entry of the program on the simulated device.
int main() { return 0; }
