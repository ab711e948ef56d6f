#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "decode/Catalogue.h"

class QComboBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QListWidget;
class QPushButton;

namespace tracebay::mainwindow {

// Sets up the protocol decoders: the stacks set so far, each as tracebay-cli's -P writes it,
// with Remove; and a decoder to add, with a field for each of its channels and options built
// from its own lists, and a decoder to stack on it. The set-up it returns is the caller's to
// apply.
class DecodersDialog : public QDialog {
    Q_OBJECT
public:
    DecodersDialog(std::vector<decode::DecoderInfo> decoders,
                   const std::vector<std::string>& stacks, QWidget* parent);

    std::vector<std::string> stacks() const;

private slots:
    void cmbDecoder_Change();
    void cmbStacked_Change();
    void cmdAdd_Click();
    void cmdRemove_Click();

private:
    void setupList(const std::vector<std::string>& stacks);
    void setupAdding();
    const decode::DecoderInfo* decoder(const std::string& id) const;
    const decode::DecoderInfo* chosen(const QComboBox* box) const;
    static void clearForm(QFormLayout* form);
    void addOptionFields(QFormLayout* form, const decode::DecoderInfo& decoder, const char* prefix);
    // The options whose fields differ from their defaults, as written.
    std::string optionsText(const decode::DecoderInfo& decoder, const char* prefix) const;
    // The stack the fields describe, as written.
    std::string spec() const;
    void showSpec();

    std::vector<decode::DecoderInfo> decoders_;
    QListWidget* lstStacks = nullptr;
    QPushButton* cmdRemove = nullptr;
    QComboBox* cmbDecoder = nullptr;
    QFormLayout* frmChannels = nullptr;
    QFormLayout* frmOptions = nullptr;
    QComboBox* cmbStacked = nullptr;
    QFormLayout* frmStackedOptions = nullptr;
    QLabel* lblSpec = nullptr;
    QLabel* lblRefused = nullptr;
    QPushButton* cmdAdd = nullptr;
    QDialogButtonBox* buttons = nullptr;
};

}  // namespace tracebay::mainwindow
