// The look: loading the shipped skin and icon set as start-up does, the
// first draw of an icon (its file is read) and every later draw (one
// transparent blit from the cached memory context).
#include <benchmark/benchmark.h>

#include <string>

#include "platform/base/WideString.h"
#include "platform/gdi/Gdi.h"
#include "skin/IconSet.h"
#include "skin/ResourceFolder.h"
#include "skin/Skin.h"

namespace {

WideString Assets() { return platform::Utf8ToWide(std::string(CORVANE_SOURCE_DIR) + "/assets"); }

struct Target {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 240, 320);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    ~Target()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

void BM_LoadSkinAndIconSet(benchmark::State& state)
{
    WideString skinFolder = skin::FindSetFolder(Assets(), u"Skin", u"QVGA.Skin.xml");
    WideString iconFolder = skin::FindSetFolder(Assets(), u"Icons", u"Default.Icons.xml");
    for (auto _ : state) {
        RefPtr<skin::Skin> look = MakeRef<skin::Skin>();
        look->Load(skinFolder, u"QVGA.Skin.xml");
        RefPtr<skin::IconSet> icons = MakeRef<skin::IconSet>();
        icons->Load(iconFolder, u"Default.Icons.xml");
        benchmark::DoNotOptimize(look.Get());
    }
    state.SetLabel("per start-up load, QVGA skin + icon set");
}
BENCHMARK(BM_LoadSkinAndIconSet)->Unit(benchmark::kMicrosecond);

void BM_FirstIconDraw(benchmark::State& state)
{
    Target target;
    WideString folder = skin::FindSetFolder(Assets(), u"Icons", u"Default.Icons.xml");
    for (auto _ : state) {
        RefPtr<skin::SkinImage> icon = MakeRef<skin::SkinImage>(folder, u"online.bmp");
        benchmark::DoNotOptimize(icon->Draw(target.dc, 4, 4));
    }
    state.SetLabel("16x16 icon: file read, memory context, blit");
}
BENCHMARK(BM_FirstIconDraw)->Unit(benchmark::kMicrosecond);

void BM_LaterIconDraw(benchmark::State& state)
{
    Target target;
    RefPtr<skin::SkinImage> icon =
        MakeRef<skin::SkinImage>(skin::FindSetFolder(Assets(), u"Icons", u"Default.Icons.xml"), u"online.bmp");
    icon->Draw(target.dc, 4, 4);
    for (auto _ : state)
        benchmark::DoNotOptimize(icon->Draw(target.dc, 4, 4));
    state.SetLabel("16x16 icon: one transparent blit");
}
BENCHMARK(BM_LaterIconDraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
