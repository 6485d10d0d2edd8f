// Throughput of the frame codec: frames serialised and parsed per second,
// for small SNAC frames and for 8 KiB frames.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "oscar/codec/FlapFrame.h"
#include "oscar/codec/FrameParser.h"

// Counts every allocation of the process, so that a benchmark can report
// how many a serialisation makes. (GCC cannot see that the replaced new and
// delete below pair malloc with free.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
std::atomic<std::int64_t> g_allocations{0};

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

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
    std::int64_t before = g_allocations.load();
    for (auto _ : state) {
        RefPtr<ByteBuffer> bytes = frame->Serialise();
        benchmark::DoNotOptimize(bytes.Get());
    }
    state.counters["allocs_per_frame"] =
        static_cast<double>(g_allocations.load() - before) / static_cast<double>(state.iterations());
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

// The bytes of a realistic session mix: keep-alives, presence notices,
// messages and their acknowledgements, and the odd server-stored list part.
RefPtr<ByteBuffer> MixedStream()
{
    static const std::int32_t kSizes[] = {0, 24, 64, 96, 120, 180, 250, 320, 64, 24, 1400, 96, 40, 3000};
    RefPtr<ByteBuffer> stream = MakeRef<ByteBuffer>();
    for (int round = 0; round < 8; ++round) {
        for (std::int32_t size : kSizes)
            stream->Append(MakeFrame(size)->Serialise()->Bytes());
        stream->Append(FlapFrame::KeepAlive()->Serialise()->Bytes());
    }
    return stream;
}

void ParseMixedFrames(benchmark::State& state)
{
    RefPtr<ByteBuffer> stream = MixedStream();
    int frames = 0;
    for (auto _ : state) {
        std::int32_t position = 0;
        frames = oscar::ParseFrames(*stream, position, [](RefPtr<FlapFrame> received) {
            benchmark::DoNotOptimize(received.Get());
        });
    }
    state.SetItemsProcessed(state.iterations() * frames);
    state.SetBytesProcessed(state.iterations() * stream->Size());
}

// The baseline for the parse figures: copying the same bytes once.
void CopyStream(benchmark::State& state)
{
    RefPtr<ByteBuffer> stream = state.range(0) == 0 ? MixedStream() : [&] {
        RefPtr<ByteBuffer> big = MakeRef<ByteBuffer>();
        RefPtr<FlapFrame> frame = MakeFrame(static_cast<std::int32_t>(state.range(0)));
        for (int i = 0; i < 64; ++i)
            big->Append(frame->Serialise()->Bytes());
        return big;
    }();
    std::vector<std::uint8_t> target(static_cast<std::size_t>(stream->Size()));
    for (auto _ : state) {
        std::memcpy(target.data(), stream->Data(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * stream->Size());
}

BENCHMARK(ParseMixedFrames);
BENCHMARK(CopyStream)->Arg(0)->Arg(20)->Arg(8192 - 16);

// A small SNAC frame (a short message body) and an 8 KiB frame.
BENCHMARK(SerialiseFrames)->Arg(20)->Arg(8192 - 16);
BENCHMARK(ParseFrames)->Arg(20)->Arg(8192 - 16);

}  // namespace

BENCHMARK_MAIN();
