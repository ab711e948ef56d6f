#pragma once

#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "acquisition/Acquisition.h"
#include "acquisition/Connection.h"
#include "acquisition/ScopeState.h"
#include "display/CursorOverlay.h"
#include "link/CommandChannel.h"
#include "platform/HostServices.h"
#include "platform/SettingsStore.h"

class QCheckBox;
class QComboBox;
class QAction;
class QFrame;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace tracebay::mainwindow {

class ConnectionLed;
class WavePicture;
class frmPrgress;

// What the main window works with but does not own: the host, the serial port, the USB link
// library and the settings store.
struct ProgramServices {
    platform::HostServices& host;
    platform::SerialPortControl& port;
    link::UsbLibrary& usb;
    platform::SettingsStore& settings;
};

// How this run starts: on a simulated instrument behind the serial device given here, the
// user's own transport being kept for the next run.
struct StartOptions {
    std::string simulatorDevice;
};

// The main window: the left column of controls, the viewport with the screen picture and the
// connection indicator, the layout pass that sizes and repaints the picture, and the program's
// start and end.
class frmWave : public QWidget,
                private acquisition::ConnectionIndicator,
                private acquisition::TraceChecks {
    Q_OBJECT
public:
    static constexpr int ClientWidthTwips = 11985;
    static constexpr int ClientHeightTwips = 9030;

    explicit frmWave(ProgramServices services, StartOptions options = {},
                     QWidget* parent = nullptr);
    ~frmWave() override;

    // Uploads the ticked traces with the progress window and shows them.
    void LoadData();
    // The layout pass: places and sizes the viewport and the picture, and repaints it.
    void Form_Resize();

    double ScreenScale = 1.0;
    bool InitPending = true;
    int HScrollSpan = 0;
    int VScrollSpan = 0;

    acquisition::ScopeState& slot() { return states_[acquisition::WindowIndex]; }
    link::CommandChannel& channel() { return channel_; }
    acquisition::Connection& connection() { return connection_; }
    acquisition::Acquisition& acquisition() { return acquisition_; }
    display::Cursors& cursors() { return cursors_; }
    const WavePicture& picture() const { return *WavePic; }
    // The picture's context menu: what is done with the picture beyond the window's own
    // controls. An action added here also answers its shortcut anywhere in the window.
    QMenu& pictureMenu() { return *PictureMenu; }
    void addPictureAction(QAction* action);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private slots:
    void Timer1_Timer();
    void cmdRefresh_Click();
    void ChkCH_Click(int index);
    void GridCheck_Click();
    void OptionColor_Click(int index);
    void BestFitChk_Click();
    void ZoomCombo_Change();
    void HScroll_Change();
    void HScroll_Scroll();
    void VScroll_Change();
    void VScroll_Scroll();
    void FlatBtnUpload_Click(int index);

private:
    class ProgressRelay;

    void setupWindow();
    void setupRefreshColumn();
    void setupDisplayFrame();
    void setupUploadFrame();
    void setupViewport();
    void connectHandlers();

    void Form_Load();
    void MainLoadInit();
    void applyIndicatorScheme();
    void applyViewFlags();
    void placeViewport();
    void fitToViewport();
    void placeScrollBars();
    void placeIndicators();
    void repaintPicture();
    void resetRefreshButton();
    void showOptions();
    void showPanel();
    void closeProgram();
    void message(const std::string& text);

    // ConnectionIndicator
    void showConnected(bool connected) override;
    // TraceChecks
    void setTraceChecked(int index, bool checked) override;

    ProgramServices services_;
    StartOptions start_;
    link::CommandChannel channel_;
    acquisition::Connection connection_;
    acquisition::ScopeStates states_;
    std::unique_ptr<ProgressRelay> progress_;
    acquisition::Acquisition acquisition_;
    display::Cursors cursors_;
    display::CursorOverlay overlay_;
    int32_t gpibAddress_ = 0;
    std::unique_ptr<platform::HostTimer> Timer1;

    QPushButton* cmdRefresh = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame4 = nullptr;
    std::array<QCheckBox*, 4> ChkCH{};
    std::array<QGroupBox*, 2> Frame2{};
    QGroupBox* Frame6 = nullptr;
    QComboBox* ZoomCombo = nullptr;
    QCheckBox* BestFitChk = nullptr;
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 2> OptionColor{};
    QCheckBox* GridCheck = nullptr;
    std::array<QPushButton*, 4> FlatBtnUpload{};
    QFrame* BackPic = nullptr;
    QWidget* viewport_ = nullptr;
    WavePicture* WavePic = nullptr;
    ConnectionLed* picLED_ON = nullptr;
    ConnectionLed* picLED_OFF = nullptr;
    QScrollBar* HScroll = nullptr;
    QScrollBar* VScroll = nullptr;
    QMenu* PictureMenu = nullptr;
};

}  // namespace tracebay::mainwindow
