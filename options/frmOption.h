#pragma once

#include <QDialog>
#include <vector>

#include "options/IoOptions.h"
#include "options/SerialPorts.h"

class QButtonGroup;
class QComboBox;

namespace tracebay::options {

// The IO options dialog: transport, serial port and baud rate. It only returns the chosen
// values; the caller applies them.
class frmOption : public QDialog {
    Q_OBJECT

public:
    // `ports` are the serial ports to offer after COM1 and COM2 (see systemSerialPorts()).
    frmOption(const IoOptions& current, const std::vector<SerialPortChoice>& ports,
              QWidget* parent = nullptr);

    // After OK: the chosen values. Before (and after Cancel): the current values as the load
    // steps left them (a COM port other than 1 or 2 corrected to 1).
    IoOptions values() const { return values_; }

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void cmdOKClick();
    void cmdCancelClick();
    // A port chosen from the list: its bare device path goes into the edit field.
    void portComboActivated(int index);

private:
    void createControls();
    void loadIoSelection();
    void loadPortCombo(const std::vector<SerialPortChoice>& ports);
    void loadBaudCombo();
    void centreOnScreen();
    void showPath(const QString& path);
    void readPortChoice();

    IoOptions values_;

    QButtonGroup* portSelectOption_ = nullptr;  // the button ids are the IoType values
    QComboBox* portCombo_ = nullptr;
    QComboBox* baudCombo_ = nullptr;
};

}  // namespace tracebay::options
