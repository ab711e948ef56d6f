#pragma once

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "mainwindow/WaveView.h"
#include "mainwindow/frmWave.h"
#include "tests/support/SessionRig.h"

namespace tracebay::mainwindow {

// The main window on the simulated instrument, in virtual time, its session running on the same
// thread, with a settings file of its own. Nothing is shown on a screen; message boxes are
// recorded by the host.
class MainWindowRig : public testing::SimulatedLink {
public:
    static constexpr QSize DesignClient{799, 602};

    explicit MainWindowRig(const std::string& preset = "yt")
        : testing::SimulatedLink(sim::Identity{}, preset) {
        face.onCommand = [this](const std::string& c) { commands.push_back(c); };
        device.onCommand = [this](const std::string& c) { commands.push_back(c); };
    }
    ~MainWindowRig() {
        if (window) window->hide();
    }

    void storeSetting(const QString& key, const QString& value) { qsettings.setValue(key, value); }

    ProgramServices services() {
        return {host, settings, [this](session::SessionObserver& observer) {
                    return std::make_unique<session::InlineSession>(
                        session::Session::Link{host, port, usb}, observer);
                }};
    }

    // Loads and shows the window, and lets start-up finish.
    frmWave& start(QSize client = DesignClient) {
        window = std::make_unique<frmWave>(services());
        window->show();
        setClient(client);
        host.advance(2);
        return *window;
    }

    void setClient(QSize client) {
        window->resize(client);
        QApplication::processEvents();
    }

    // The client size whose viewport (inside BackPic's frame) is `viewport`.
    static QSize clientFor(QSize viewport) { return viewport + QSize(80 + 4, 7 + 4); }

    template <typename T>
    T* find(const char* name) {
        return window->findChild<T*>(name);
    }
    void click(const char* name) { QTest::mouseClick(find<QWidget>(name), Qt::LeftButton); }

    bool connected() { return window->session().state() == session::State::Connected; }
    bool uploading() { return window->session().state() == session::State::Uploading; }

    bool connectOver(testing::Transport transport) {
        session::LinkOptions link;
        link.IoType = transport == testing::Transport::Serial ? session::LinkOptions::IoTypeSerial
                                                              : session::LinkOptions::IoTypeUsb;
        window->applyLinkOptions(link);
        click("FlatBtnUpload_0");
        return connected();
    }
    bool connectOverSerial() { return connectOver(testing::Transport::Serial); }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : host.messages()) texts.push_back(m.text);
        return texts;
    }

    QTemporaryDir folder;
    QSettings qsettings{folder.filePath("TraceBay.conf"), QSettings::IniFormat};
    platform::SettingsStore settings{qsettings};
    std::unique_ptr<frmWave> window;
    std::vector<std::string> commands;
};

}  // namespace tracebay::mainwindow
