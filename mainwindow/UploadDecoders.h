#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "decode/DecodedBand.h"
#include "decode/Decoding.h"
#include "export/UploadRecorder.h"
#include "platform/HostServices.h"
#include "platform/SettingsStore.h"

namespace tracebay::mainwindow {

class DecodedWindow;
class ShownUploads;
class WaveView;

// The window's protocol decoders. "Decoders…" (D) in the picture's menu sets them up in a dialog
// built from the library's own lists; "Decoded" shows the window listing what they found. Every
// upload the view shows, new or recalled, is decoded on the library's thread; what was found
// is drawn on a band under the picture, which is there only while decoders are set, and listed
// in the Decoded window, whose rows mark their times with the time cursors; a decoder that fails
// is named there, and in a message the first time. While uploads are recorded, each one's
// annotations go beside it. The set-up is kept in the settings.
class UploadDecoders : public QObject {
    Q_OBJECT
public:
    UploadDecoders(WaveView& view, ShownUploads& uploads, platform::HostServices& host,
                   platform::SettingsStore& settings);
    ~UploadDecoders() override;

    // Asks for the set-up, offering the library's decoders; nothing when the user cancelled.
    // The dialog in the program, a scripted answer in tests.
    std::function<std::optional<std::vector<std::string>>(std::vector<decode::DecoderInfo>,
                                                          const std::vector<std::string>&)>
        chooseDecoders;

    const std::vector<std::string>& stacks() const { return texts_; }
    // A new set-up, a stack each as tracebay-cli's -P writes it: kept in the settings, and the
    // upload shown decoded with it.
    void setStacks(std::vector<std::string> texts);
    // What was found in the upload shown, once decoded.
    const decode::Decoded& decoded() const { return decoded_; }
    DecodedWindow& decodedWindow();

signals:
    // What was found in another upload, or with another set-up, is shown.
    void decodedShown();

private slots:
    void editDecoders();
    void showDecodedWindow();
    void markTime(double startColumn, double endColumn);

private:
    class Relay;
    struct Request {
        uint64_t id;
        acquisition::ScopeState upload;
    };

    void addActions();
    void parseStacks();
    void catalogueArrived(std::vector<decode::DecoderInfo> decoders);
    void askForStacks();
    void decodeShown();
    void start(Request request);
    void finished(uint64_t id, decode::Decoded decoded);
    void show(decode::Decoded decoded);
    void decodeBeside(const acquisition::ScopeState& upload,
                      std::function<void(std::vector<exporting::BesideFile>)> done);
    std::string problems() const;
    void tellNewFailures();
    void saveCsv(const QString& path, const std::string& csv);
    void message(const std::string& text);

    WaveView& view_;
    platform::HostServices& host_;
    platform::SettingsStore& settings_;
    std::shared_ptr<Relay> relay_;
    std::vector<std::string> texts_;
    std::vector<decode::StackSpec> specs_;
    std::string setUpProblems_;
    std::optional<std::vector<decode::DecoderInfo>> catalogue_;
    bool awaitingCatalogue_ = false;
    // The newest upload asked for, the one being decoded, and the one waiting for it.
    uint64_t requested_ = 0;
    bool decoding_ = false;
    std::optional<Request> waiting_;
    decode::Decoded decoded_;
    decode::BandLayout layout_;
    // The stacks whose decoder failed on the last upload decoded: told once, not every upload.
    std::set<std::string> failing_;
    DecodedWindow* window_ = nullptr;
};

}  // namespace tracebay::mainwindow
