#pragma once

#include <memory>
#include <optional>
#include <string>

#include "acquisition/ScopeState.h"
#include "display/CursorOverlay.h"
#include "display/DecodeBand.h"
#include "display/Repaint.h"
#include "platform/PictureSurface.h"

class QIODevice;
class QPrinter;

namespace tracebay::exporting {

// What an export shows: an upload in the view it is shown in (the scheme and the grid are the
// slot's view flags), with what is drawn over it (references, a mask) and the cursors, drawn at
// a scale (ScreenScale), and the band of what the decoders found under it while there is one.
struct Shown {
    const acquisition::ScopeState& slot;
    display::Cursors cursors{};
    double scale = 1;
    display::PicturePass over{};
    const display::Band* band = nullptr;
};

// The picture as the main window draws it at the shown scale; with `record`, its primitives
// are kept for a vector copy.
std::unique_ptr<platform::PictureSurface> drawPicture(const Shown& shown, bool record);

// The writers of the picture formats; each returns "" when done, else what went wrong.
// PNG: the pixels drawn at the scale, not scaled from another size.
std::string writePng(const Shown& shown, QIODevice& device);
// SVG and PDF: the recorded primitives as shapes; the SVG's size in screen pixels, the PDF's
// page a point to the pixel.
std::string writeSvg(const Shown& shown, QIODevice& device);
std::string writePdf(const Shown& shown, QIODevice& device);

// Writes an export's bytes; "" when done, else `error` when there are none, or the device's.
std::string writeBytes(const std::optional<std::string>& bytes, const std::string& error,
                       QIODevice& device);

// Prints the picture as shapes, as large as fits the printer's page, centred on it; false when
// the printer could not be started.
bool printPicture(const Shown& shown, QPrinter& printer);

}  // namespace tracebay::exporting
