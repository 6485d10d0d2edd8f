#include "app/AppEvent.h"

#include <array>

namespace {

enum class Stages : std::uint8_t { Both, WorkerOnly, InterfaceOnly };

constexpr std::array<Stages, 67> BuildTable()
{
    std::array<Stages, 67> table{};
    for (auto& entry : table)
        entry = Stages::Both;
    for (int type : {1, 2, 9, 10, 11, 25, 26, 27, 28, 29, 30, 31, 32, 33, 54, 55, 57, 59, 61, 63, 64})
        table[static_cast<std::size_t>(type)] = Stages::WorkerOnly;
    for (int type : {7, 14, 15, 16, 17, 36, 37, 40, 42, 44, 45, 49, 50, 51})
        table[static_cast<std::size_t>(type)] = Stages::InterfaceOnly;
    return table;
}

constexpr std::array<Stages, 67> kRoutes = BuildTable();

}  // namespace

EventRoute RouteOf(std::int32_t type)
{
    if (type < 1 || type > 66)
        return {true, true};
    switch (kRoutes[static_cast<std::size_t>(type)]) {
    case Stages::WorkerOnly:
        return {true, false};
    case Stages::InterfaceOnly:
        return {false, true};
    case Stages::Both:
        break;
    }
    return {true, true};
}
