// Throughput of the frame codec: frames serialised and parsed per second,
// for small SNAC frames and for 8 KiB frames.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "oscar/codec/FlapFrame.h"
#include "oscar/codec/FrameParser.h"

namespace {

using namespace oscar;

RefPtr<FlapFrame> MakeFrame(std::int32_t dataSize)
{
    RefPtr<SnacCommand> snac = MakeRef<SnacCommand>(CommandNumber::SendMessage);
    RefPtr<ByteBuffer> data = MakeRef<ByteBuffer>();
    data->Resize(dataSize);
    snac->SetData(data);
    return FlapFrame::ForSnac(snac);
}

void SerialiseFrames(benchmark::State& state)
{
    RefPtr<FlapFrame> frame = MakeFrame(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        RefPtr<ByteBuffer> bytes = frame->Serialise();
        benchmark::DoNotOptimize(bytes.Get());
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * (state.range(0) + 16));
}

void ParseFrames(benchmark::State& state)
{
    constexpr int kFramesPerBuffer = 64;
    RefPtr<ByteBuffer> stream = MakeRef<ByteBuffer>();
    RefPtr<FlapFrame> frame = MakeFrame(static_cast<std::int32_t>(state.range(0)));
    for (int i = 0; i < kFramesPerBuffer; ++i)
        stream->Append(frame->Serialise()->Bytes());
    for (auto _ : state) {
        std::int32_t position = 0;
        int count = oscar::ParseFrames(*stream, position, [](RefPtr<FlapFrame> received) {
            benchmark::DoNotOptimize(received.Get());
        });
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * kFramesPerBuffer);
    state.SetBytesProcessed(state.iterations() * stream->Size());
}

// A small SNAC frame (a short message body) and an 8 KiB frame.
BENCHMARK(SerialiseFrames)->Arg(20)->Arg(8192 - 16);
BENCHMARK(ParseFrames)->Arg(20)->Arg(8192 - 16);

}  // namespace

BENCHMARK_MAIN();
