#include "mainwindow/MeasurementsWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <sstream>

#include "measure/Measurements.h"
#include "platform/Twips.h"

namespace tracebay::mainwindow {
namespace {

namespace Keys = platform::Settings;

QString text(const std::string& s) { return QString::fromStdString(s); }

// The figures of a setting's keys, in the figures' order; unknown keys left out.
std::vector<measure::Figure> figuresOf(const std::string& keys) {
    std::vector<measure::Figure> figures;
    std::istringstream list(keys);
    for (std::string key; std::getline(list, key, ',');)
        if (const auto figure = measure::figureOfKey(key)) figures.push_back(*figure);
    std::sort(figures.begin(), figures.end());
    return figures;
}

}  // namespace

MeasurementsWindow::MeasurementsWindow(platform::SettingsStore& settings, QWidget* owner)
    : QWidget(owner, Qt::Window),
      settings_(settings),
      tblMeasurements(new QTableWidget(this)),
      cmdCopy(new QPushButton("Copy", this)),
      cmdReset(new QPushButton("Reset", this)),
      cmdFigures(new QToolButton(this)),
      mnuFigures(new QMenu(cmdFigures)) {
    setObjectName("MeasurementsWindow");
    setWindowTitle("Measurements");
    // The keys stay with the main window: F5 and Esc go on working there.
    setAttribute(Qt::WA_ShowWithoutActivating);
    tblMeasurements->setObjectName("tblMeasurements");
    tblMeasurements->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblMeasurements->verticalHeader()->hide();
    cmdCopy->setObjectName("cmdCopy");
    cmdReset->setObjectName("cmdReset");
    buildFigureMenu();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdFigures);
    buttons->addStretch();
    buttons->addWidget(cmdReset);
    buttons->addWidget(cmdCopy);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tblMeasurements);
    layout->addLayout(buttons);
    connect(cmdCopy, &QPushButton::clicked, this, &MeasurementsWindow::cmdCopy_Click);
    connect(cmdReset, &QPushButton::clicked, this, &MeasurementsWindow::cmdReset_Click);
    resize(760, 240);
    place(owner);
}

MeasurementsWindow::~MeasurementsWindow() {
    if (isVisible()) savePlace();
}

void MeasurementsWindow::showUpload(const acquisition::ScopeState& upload, bool continuous) {
    figures_ = measure::measureUpload(upload);
    if (continuous)
        statistics_.add(figures_);
    else
        statistics_.clear();
    continuous_ = continuous;
    fill();
}

void MeasurementsWindow::showFigures(const acquisition::ScopeState& upload) {
    figures_ = measure::measureUpload(upload);
    fill();
}

// A checkable entry for every figure; ticking one shows its column and keeps the choice.
void MeasurementsWindow::buildFigureMenu() {
    cmdFigures->setObjectName("cmdFigures");
    cmdFigures->setText("Figures");
    cmdFigures->setPopupMode(QToolButton::InstantPopup);
    cmdFigures->setMenu(mnuFigures);
    mnuFigures->setObjectName("mnuFigures");
    const auto chosen = figuresOf(settings_.read(Keys::MeasurementsFigures));
    for (int f = 0; f <= static_cast<int>(measure::LastFigure); ++f) {
        const auto figure = static_cast<measure::Figure>(f);
        QAction* action = mnuFigures->addAction(text(std::string(measure::figureName(figure))));
        action->setObjectName(text("figure_" + std::string(measure::figureKey(figure))));
        action->setData(f);
        action->setCheckable(true);
        action->setChecked(std::find(chosen.begin(), chosen.end(), figure) != chosen.end());
        connect(action, &QAction::toggled, this, &MeasurementsWindow::figureChosen);
    }
}

std::vector<measure::Figure> MeasurementsWindow::chosenFigures() const {
    std::vector<measure::Figure> chosen;
    for (const QAction* action : mnuFigures->actions())
        if (action->isChecked())
            chosen.push_back(static_cast<measure::Figure>(action->data().toInt()));
    return chosen;
}

void MeasurementsWindow::figureChosen() {
    std::string keys;
    for (const measure::Figure figure : chosenFigures())
        keys += (keys.empty() ? "" : ",") + std::string(measure::figureKey(figure));
    settings_.write(Keys::MeasurementsFigures, keys);
    fill();
}

void MeasurementsWindow::fill() {
    table_ = measure::figureTable(
        figures_, {continuous_ ? &statistics_ : nullptr, chosenFigures(), measure::Heading::Names});
    tblMeasurements->clear();
    tblMeasurements->setColumnCount(static_cast<int>(table_.header.size()));
    tblMeasurements->setRowCount(static_cast<int>(table_.rows.size()));
    QStringList header;
    for (const auto& title : table_.header) header << text(title);
    tblMeasurements->setHorizontalHeaderLabels(header);
    for (size_t r = 0; r < table_.rows.size(); ++r)
        for (size_t c = 0; c < table_.rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(text(table_.rows[r][c]));
            if (c < table_.notes[r].size() && !table_.notes[r][c].empty())
                item->setToolTip(text(table_.notes[r][c]));
            tblMeasurements->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    tblMeasurements->resizeColumnsToContents();
}

void MeasurementsWindow::cmdCopy_Click() {
    QGuiApplication::clipboard()->setText(text(measure::tabSeparated(table_)));
}

void MeasurementsWindow::cmdReset_Click() {
    statistics_.clear();
    fill();
}

// The statistics count the rounds while the window is open.
void MeasurementsWindow::closeEvent(QCloseEvent* event) {
    savePlace();
    statistics_.clear();
    QWidget::closeEvent(event);
}

// Where it was left, unless that lies off the screen; else beside the owner.
void MeasurementsWindow::place(QWidget* owner) {
    const auto left = platform::settingToInt(settings_.read(Keys::MeasurementsLeft));
    const auto top = platform::settingToInt(settings_.read(Keys::MeasurementsTop));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (left && top) {
        const QPoint stored(platform::twipsToPixels(*left), platform::twipsToPixels(*top));
        if (available.intersects(QRect(stored, size()))) {
            move(stored);
            return;
        }
    }
    if (!owner) return;
    // Beside the owner, as far as the screen reaches; over its right edge where it does not.
    const QPoint beside = owner->frameGeometry().topRight() + QPoint(1, 0);
    move(std::max(available.left(), std::min(beside.x(), available.right() + 1 - width())),
         std::max(available.top(), std::min(beside.y(), available.bottom() + 1 - height())));
}

void MeasurementsWindow::savePlace() {
    settings_.write(Keys::MeasurementsLeft,
                    std::to_string(static_cast<int>(platform::pixelsToTwips(x()))));
    settings_.write(Keys::MeasurementsTop,
                    std::to_string(static_cast<int>(platform::pixelsToTwips(y()))));
}

}  // namespace tracebay::mainwindow
