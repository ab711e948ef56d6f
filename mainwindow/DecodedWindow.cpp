#include "mainwindow/DecodedWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "acquisition/QuantityText.h"
#include "decode/DecodedText.h"

namespace tracebay::mainwindow {
namespace {

const QStringList Columns{"time", "decoder", "class", "text"};

QString text(const std::string& s) { return QString::fromStdString(s); }

QStringList cells(const decode::Annotation& a) {
    return {text(acquisition::quantityText(a.start, 0, "s", true)), text(a.decoder),
            text(a.className), text(a.text())};
}

}  // namespace

DecodedWindow::DecodedWindow(QWidget* owner)
    : QWidget(owner, Qt::Window),
      tblDecoded(new QTableWidget(0, static_cast<int>(Columns.size()), this)),
      lblProblems(new QLabel(this)),
      cmdCopy(new QPushButton("Copy", this)),
      cmdSaveCsv(new QPushButton("Save as CSV…", this)) {
    setObjectName("DecodedWindow");
    setWindowTitle("Decoded");
    // The keys stay with the main window: F5 and Esc go on working there.
    setAttribute(Qt::WA_ShowWithoutActivating);
    tblDecoded->setObjectName("tblDecoded");
    tblDecoded->setHorizontalHeaderLabels(Columns);
    tblDecoded->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblDecoded->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblDecoded->verticalHeader()->hide();
    tblDecoded->horizontalHeader()->setStretchLastSection(true);
    lblProblems->setObjectName("lblProblems");
    lblProblems->setWordWrap(true);
    lblProblems->hide();
    cmdCopy->setObjectName("cmdCopy");
    cmdSaveCsv->setObjectName("cmdSaveCsv");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSaveCsv);
    buttons->addWidget(cmdCopy);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tblDecoded);
    layout->addWidget(lblProblems);
    layout->addLayout(buttons);
    connect(cmdCopy, &QPushButton::clicked, this, &DecodedWindow::cmdCopy_Click);
    connect(cmdSaveCsv, &QPushButton::clicked, this, &DecodedWindow::cmdSaveCsv_Click);
    connect(tblDecoded, &QTableWidget::cellClicked, this, &DecodedWindow::tblDecoded_Click);
    resize(520, 360);
    place(owner);
}

void DecodedWindow::showDecoded(const decode::Decoded& decoded, const std::string& problems) {
    decoded_ = decoded;
    tblDecoded->setRowCount(static_cast<int>(decoded_.annotations.size()));
    for (int r = 0; r < tblDecoded->rowCount(); ++r) {
        const QStringList row = cells(decoded_.annotations[static_cast<size_t>(r)]);
        for (int c = 0; c < row.size(); ++c)
            tblDecoded->setItem(r, c, new QTableWidgetItem(row[c]));
    }
    tblDecoded->resizeColumnsToContents();
    lblProblems->setText(text(problems));
    lblProblems->setVisible(!problems.empty());
}

void DecodedWindow::cmdCopy_Click() {
    QString copied = Columns.join('\t') + '\n';
    for (const decode::Annotation& a : decoded_.annotations) copied += cells(a).join('\t') + '\n';
    QGuiApplication::clipboard()->setText(copied);
}

void DecodedWindow::cmdSaveCsv_Click() {
    if (!chooseCsvFile || !saveCsv) return;
    if (const auto path = chooseCsvFile())
        saveCsv(*path, decode::annotationsCsv(decoded_.annotations));
}

void DecodedWindow::tblDecoded_Click(int row) {
    if (row < 0 || static_cast<size_t>(row) >= decoded_.annotations.size()) return;
    const decode::Annotation& a = decoded_.annotations[static_cast<size_t>(row)];
    emit timeChosen(a.startPlace, a.endPlace);
}

// Beside the owner, as far as the screen reaches.
void DecodedWindow::place(QWidget* owner) {
    if (!owner) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QPoint beside = owner->frameGeometry().bottomRight() + QPoint(1, -height());
    move(std::max(available.left(), std::min(beside.x(), available.right() + 1 - width())),
         std::max(available.top(), std::min(beside.y(), available.bottom() + 1 - height())));
}

}  // namespace tracebay::mainwindow
