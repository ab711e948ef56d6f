#pragma once

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "mainwindow/frmWave.h"
#include "tests/acquisition/InstrumentRig.h"

namespace tracebay::mainwindow {

// The main window on the simulated instrument, in virtual time, with a settings file of its
// own. Nothing is shown on a screen; message boxes are recorded by the host.
class MainWindowRig : public acquisition::SimulatedLink {
public:
    static constexpr QSize DesignClient{799, 602};

    explicit MainWindowRig(const std::string& preset = "yt")
        : acquisition::SimulatedLink(sim::Identity{}, preset) {
        face.onCommand = [this](const std::string& c) { commands.push_back(c); };
        device.onCommand = [this](const std::string& c) { commands.push_back(c); };
    }
    ~MainWindowRig() {
        if (window) window->hide();
    }

    void storeSetting(const QString& key, const QString& value) { qsettings.setValue(key, value); }

    // Loads and shows the window, and lets start-up finish.
    frmWave& start(QSize client = DesignClient) {
        window = std::make_unique<frmWave>(ProgramServices{host, port, usb, settings});
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

    bool connectOverSerial() {
        window->channel().IoType = link::CommandChannel::IoTypeSerial;
        click("FlatBtnUpload_0");
        return window->connection().ScopeConnected;
    }

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
