// A saved upload, as `tracebay-cli render` and `measure` and the program open it: the JSON text
// read into a ScopeState, the screen repainted from it, first without the cursors and then with
// both cursor pairs on, its samples and logic lines written as the exports write them, and its
// traces measured.
//
// Input: zoom (2 bytes, 1 + value % 1000 percent), the cursors' places in pixels (four signed
// 2-byte values: X1, X2, Y1, Y2), then the JSON text.

#include <QGuiApplication>

#include "acquisition/ScopeStateJson.h"
#include "display/Repaint.h"
#include "export/LogicFiles.h"
#include "export/SampleTable.h"
#include "fuzz/FuzzInput.h"
#include "measure/FigureText.h"
#include "measure/Measurements.h"

using namespace tracebay;

namespace {

display::Cursors cursorsFrom(fuzz::FuzzInput& input) {
    display::Cursors cursors;
    cursors.CursorX1 = static_cast<int16_t>(input.word());
    cursors.CursorX2 = static_cast<int16_t>(input.word());
    cursors.CursorY1 = static_cast<int16_t>(input.word());
    cursors.CursorY2 = static_cast<int16_t>(input.word());
    return cursors;
}

}  // namespace

// Texts are drawn with the platform's fonts, which need a GUI application. It gets no
// arguments: the fuzzer's own are not for Qt.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "upload_fuzzer";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return 0;
}

// The font library keeps what it allocates for the whole run and never hands it back; the
// leak check at the end is not about it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const double zoom = 1 + input.word() % 1000;
    display::Cursors cursors = cursorsFrom(input);
    std::string error;
    const auto slot = acquisition::fromJson(input.rest(), error);
    if (!slot) {
        fuzz::require(!error.empty(), "a refused upload says why");
        return 0;
    }
    const display::Screen screen{zoom / 100};
    platform::PictureSurface picture(screen.pictureWidth(), screen.pictureHeight());
    display::CursorOverlay overlay;
    display::Repaint(picture, screen, *slot, cursors, overlay);
    cursors.TimeCursorsOn = cursors.VoltCursorsOn = true;
    display::Repaint(picture, screen, *slot, cursors, overlay);
    for (const auto file :
         {exporting::samplesCsv, exporting::valueChangeDump, exporting::sigrokSession}) {
        error.clear();
        const auto written = file(*slot, error);
        fuzz::require(written.has_value() != !error.empty(), "an export is written or says why");
    }
    const auto figures = measure::measureUpload(*slot);
    measure::figuresJson(figures);
    measure::alignedText(measure::figureTable(figures));
    return 0;
}
