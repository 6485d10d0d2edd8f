// Opening a dialog of 30 controls (10 rows of label, edit box and check box,
// laid out by the flow layout): from writing its template to the dialog's
// first paint, in microseconds. The controls are small painting stand-ins
// registered here, so the figure is the framework's and the window
// manager's, not the standard controls' drawing.
#include <benchmark/benchmark.h>

#include "platform/gdi/Gdi.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/Items.h"

namespace {

LRESULT StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    EndPaint(window, &paint);
    return 0;
}

void RegisterStandIns()
{
    for (const WCHAR* name : {u"BenchEdit", u"BenchButton", u"BenchStatic"}) {
        WNDCLASSW windowClass;
        windowClass.lpfnWndProc = &StandInProc;
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass);
    }
}

class BenchEdit : public TextBoxWindow {
public:
    explicit BenchEdit(int id) : TextBoxWindow(id, u"", 0x50810000, {100, -60, 0, 0}, {0, 3, 1}) { RegisterSuperclass(); }
    const WCHAR* ClassName() const override { return u"BenchTextBox"; }
    const WCHAR* SystemClassName() const override { return u"BenchEdit"; }
};

class BenchCheck : public CheckBoxWindow {
public:
    explicit BenchCheck(int id) : CheckBoxWindow(id, u"On", 0x50010003, {0, 20, 0, 1}, {0, 3, 1}) { RegisterSuperclass(); }
    const WCHAR* ClassName() const override { return u"BenchCheckBox"; }
    const WCHAR* SystemClassName() const override { return u"BenchButton"; }
};

class BenchLabel : public StaticWindow {
public:
    explicit BenchLabel(int id) : StaticWindow(id, u"Field", 0x5000000C, {0, 0, 6, 0}, {0, 2, 1}) {}
    const WCHAR* ClassName() const override { return u"BenchStatic"; }
    WORD TemplateAtom() const override { return 0; }
};

// Ends at its first paint.
class BenchDialog : public DialogBase {
public:
    BenchDialog()
    {
        RegisterDialogClass();
        for (int row = 0; row < 10; ++row) {
            AddItem(MakeRef<BenchLabel>(1000 + row * 3));
            AddItem(MoveRight({0, 0, 6, 0}));
            AddItem(MakeRef<BenchEdit>(1001 + row * 3));
            AddItem(MoveRight({100, -60, 0, 0}));
            AddItem(MakeRef<BenchCheck>(1002 + row * 3));
            AddItem(MoveBack(2));
            AddItem(MoveDown({0, 4, 1}));
        }
    }
    const WCHAR* ClassName() const override { return u"BenchDialog"; }
    UINT MenuBarId() const override { return 0; }
    void OnPaint() override
    {
        DialogBase::OnPaint();
        EndDialog(1);
    }
};

void BM_OpenDialogOf30Controls(benchmark::State& state)
{
    RegisterStandIns();
    for (auto _ : state) {
        RefPtr<BenchDialog> dialog = MakeRef<BenchDialog>();
        if (dialog->DoModal(u"Bench", 100, 100, nullptr) != 1) {
            state.SkipWithError("the dialog did not open");
            break;
        }
    }
}
BENCHMARK(BM_OpenDialogOf30Controls)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
