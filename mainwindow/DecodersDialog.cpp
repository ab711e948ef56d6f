#include "mainwindow/DecodersDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "decode/DecoderSpec.h"

namespace tracebay::mainwindow {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

// The lines and channels a channel field offers; one can also type CH1@1.5.
QStringList sourceNames(bool optional) {
    QStringList names;
    if (optional) names << "";
    for (int k = 0; k < 16; ++k) names << "D" + QString::number(k);
    return names << "CH1"
                 << "CH2";
}

QString fieldName(const char* prefix, const std::string& id) { return prefix + text(id); }

}  // namespace

DecodersDialog::DecodersDialog(std::vector<decode::DecoderInfo> decoders,
                               const std::vector<std::string>& stacks, QWidget* parent)
    : QDialog(parent), decoders_(std::move(decoders)) {
    setObjectName("DecodersDialog");
    setWindowTitle("Decoders");
    setupList(stacks);
    setupAdding();
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout()->addWidget(buttons);
    cmbDecoder_Change();
    resize(560, sizeHint().height());
}

void DecodersDialog::setupList(const std::vector<std::string>& stacks) {
    lstStacks = new QListWidget(this);
    lstStacks->setObjectName("lstStacks");
    for (const std::string& stack : stacks) lstStacks->addItem(text(stack));
    cmdRemove = new QPushButton("Remove", this);
    cmdRemove->setObjectName("cmdRemove");
    connect(cmdRemove, &QPushButton::clicked, this, &DecodersDialog::cmdRemove_Click);
    auto* row = new QHBoxLayout;
    row->addWidget(lstStacks, 1);
    row->addWidget(cmdRemove, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Decoders set, as tracebay-cli -P writes them:", this));
    layout->addLayout(row);
}

// Only a decoder of lines starts a stack; what it gives decides what can go on it.
void DecodersDialog::setupAdding() {
    auto* group = new QGroupBox("Add a decoder", this);
    cmbDecoder = new QComboBox(group);
    cmbDecoder->setObjectName("cmbDecoder");
    for (const decode::DecoderInfo& d : decoders_)
        if (d.readsLines()) cmbDecoder->addItem(text(d.id + " - " + d.longname), text(d.id));
    cmbStacked = new QComboBox(group);
    cmbStacked->setObjectName("cmbStacked");
    frmChannels = new QFormLayout;
    frmOptions = new QFormLayout;
    frmStackedOptions = new QFormLayout;
    lblSpec = new QLabel(group);
    lblSpec->setObjectName("lblSpec");
    lblSpec->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblRefused = new QLabel(group);
    lblRefused->setObjectName("lblRefused");
    lblRefused->setWordWrap(true);
    cmdAdd = new QPushButton("Add", group);
    cmdAdd->setObjectName("cmdAdd");
    auto* form = new QFormLayout(group);
    form->addRow("Decoder:", cmbDecoder);
    form->addRow("Channels:", frmChannels);
    form->addRow("Options:", frmOptions);
    form->addRow("Then:", cmbStacked);
    form->addRow("Its options:", frmStackedOptions);
    form->addRow("Written:", lblSpec);
    form->addRow(lblRefused);
    form->addRow(cmdAdd);
    layout()->addWidget(group);
    connect(cmbDecoder, &QComboBox::currentIndexChanged, this, &DecodersDialog::cmbDecoder_Change);
    connect(cmbStacked, &QComboBox::currentIndexChanged, this, &DecodersDialog::cmbStacked_Change);
    connect(cmdAdd, &QPushButton::clicked, this, &DecodersDialog::cmdAdd_Click);
}

const decode::DecoderInfo* DecodersDialog::decoder(const std::string& id) const {
    const auto found = std::find_if(decoders_.begin(), decoders_.end(),
                                    [&](const decode::DecoderInfo& d) { return d.id == id; });
    return found == decoders_.end() ? nullptr : &*found;
}

const decode::DecoderInfo* DecodersDialog::chosen(const QComboBox* box) const {
    return decoder(box->currentData().toString().toStdString());
}

void DecodersDialog::clearForm(QFormLayout* form) {
    while (form->rowCount() > 0) form->removeRow(0);
}

// A required channel starts on a line of its own, D0 for the first.
void DecodersDialog::cmbDecoder_Change() {
    clearForm(frmChannels);
    clearForm(frmOptions);
    const decode::DecoderInfo* first = chosen(cmbDecoder);
    cmbStacked->blockSignals(true);
    cmbStacked->clear();
    cmbStacked->addItem("(none)", QString());
    if (first) {
        int line = 0;
        for (const decode::ChannelInfo& channel : first->channels) {
            auto* field = new QComboBox(this);
            field->setObjectName(fieldName("channel_", channel.id));
            field->setEditable(true);
            field->addItems(sourceNames(!channel.required));
            if (channel.required) field->setCurrentIndex(line++);
            field->setToolTip(text(channel.desc));
            connect(field, &QComboBox::currentTextChanged, this, &DecodersDialog::showSpec);
            frmChannels->addRow(text(channel.name) + ":", field);
        }
        addOptionFields(frmOptions, *first, "option_");
        for (const decode::DecoderInfo& d : decoders_)
            if (d.readsFrom(*first))
                cmbStacked->addItem(text(d.id + " - " + d.longname), text(d.id));
    }
    cmbStacked->blockSignals(false);
    cmbStacked_Change();
}

void DecodersDialog::cmbStacked_Change() {
    clearForm(frmStackedOptions);
    if (const decode::DecoderInfo* stacked = chosen(cmbStacked))
        addOptionFields(frmStackedOptions, *stacked, "stacked_");
    showSpec();
}

// A field per option, its default shown: a list of the values it takes, or a text to type.
void DecodersDialog::addOptionFields(QFormLayout* form, const decode::DecoderInfo& decoder,
                                     const char* prefix) {
    for (const decode::OptionInfo& option : decoder.options) {
        const QString value = text(decode::valueText(option.defaultValue));
        QWidget* field = nullptr;
        if (option.values.empty()) {
            auto* edit = new QLineEdit(value, this);
            connect(edit, &QLineEdit::textChanged, this, &DecodersDialog::showSpec);
            field = edit;
        } else {
            auto* box = new QComboBox(this);
            for (const decode::OptionValue& v : option.values)
                box->addItem(text(decode::valueText(v)));
            box->setCurrentText(value);
            connect(box, &QComboBox::currentTextChanged, this, &DecodersDialog::showSpec);
            field = box;
        }
        field->setObjectName(fieldName(prefix, option.id));
        form->addRow(text(option.desc) + ":", field);
    }
}

// Only the options that differ from their defaults are written.
std::string DecodersDialog::optionsText(const decode::DecoderInfo& decoder,
                                        const char* prefix) const {
    std::string written;
    for (const decode::OptionInfo& option : decoder.options) {
        const QWidget* field = findChild<QWidget*>(fieldName(prefix, option.id));
        QString value;
        if (const auto* edit = qobject_cast<const QLineEdit*>(field)) value = edit->text();
        if (const auto* box = qobject_cast<const QComboBox*>(field)) value = box->currentText();
        if (value.toStdString() != decode::valueText(option.defaultValue))
            written += ":" + option.id + "=" + value.toStdString();
    }
    return written;
}

std::string DecodersDialog::spec() const {
    const decode::DecoderInfo* first = chosen(cmbDecoder);
    if (!first) return {};
    std::string written = first->id;
    for (const decode::ChannelInfo& channel : first->channels) {
        const auto* field = findChild<QComboBox*>(fieldName("channel_", channel.id));
        const QString source = field ? field->currentText().trimmed() : QString();
        if (!source.isEmpty()) written += ":" + channel.id + "=" + source.toStdString();
    }
    written += optionsText(*first, "option_");
    if (const decode::DecoderInfo* stacked = chosen(cmbStacked))
        written += "," + stacked->id + optionsText(*stacked, "stacked_");
    return written;
}

void DecodersDialog::showSpec() {
    lblSpec->setText(text(spec()));
    lblRefused->clear();
}

// A stack the decoders' lists refuse is not added; the reason says why.
void DecodersDialog::cmdAdd_Click() {
    const std::string written = spec();
    std::string error;
    const auto lookup = [this](const std::string& id) { return decoder(id); };
    const auto parsed = decode::parseStack(written, error);
    if (!parsed || !decode::resolveStack(*parsed, lookup, error)) {
        lblRefused->setText(text(error));
        return;
    }
    lstStacks->addItem(text(written));
}

void DecodersDialog::cmdRemove_Click() { delete lstStacks->currentItem(); }

std::vector<std::string> DecodersDialog::stacks() const {
    std::vector<std::string> all;
    for (int i = 0; i < lstStacks->count(); ++i)
        all.push_back(lstStacks->item(i)->text().toStdString());
    return all;
}

}  // namespace tracebay::mainwindow
