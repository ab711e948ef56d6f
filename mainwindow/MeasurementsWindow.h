#pragma once

#include <QWidget>

#include <vector>

#include "acquisition/ScopeState.h"
#include "measure/FigureStatistics.h"
#include "measure/FigureText.h"
#include "platform/SettingsStore.h"

class QMenu;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace tracebay::mainwindow {

// A small window beside the main window with the automatic measurements of the upload shown,
// the figures chosen under Figures (kept in the settings), named as people read them; a null
// figure reads "—" with its reason as tooltip, a clipped source is marked. Uploads that come
// continuously also show each figure's mean, minimum, maximum, standard deviation and count over
// the rounds since the window opened or since Reset; a single upload ends such a series. The
// window opens where it was left.
class MeasurementsWindow : public QWidget {
    Q_OBJECT
public:
    MeasurementsWindow(platform::SettingsStore& settings, QWidget* owner);
    ~MeasurementsWindow() override;

    void showUpload(const acquisition::ScopeState& upload, bool continuous = false);
    // The figures of an upload kept from earlier; a series goes on as it was.
    void showFigures(const acquisition::ScopeState& upload);
    void savePlace();
    // The table as shown and as Copy puts it on the clipboard.
    const measure::FigureTable& table() const { return table_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void cmdCopy_Click();
    void cmdReset_Click();
    void figureChosen();

private:
    void place(QWidget* owner);
    void fill();
    void buildFigureMenu();
    std::vector<measure::Figure> chosenFigures() const;

    platform::SettingsStore& settings_;
    QTableWidget* tblMeasurements;
    QPushButton* cmdCopy;
    QPushButton* cmdReset;
    QToolButton* cmdFigures;
    QMenu* mnuFigures;
    std::vector<measure::SourceFigures> figures_;
    measure::FigureStatistics statistics_;
    bool continuous_ = false;
    measure::FigureTable table_;
};

}  // namespace tracebay::mainwindow
