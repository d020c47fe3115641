// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QMainWindow>
#include <QMessageBox>
#include <functional>
#include <memory>
#include <optional>

#include "export/DesignFile.h"
#include "design/LadderModel.h"
#include "run/DesignState.h"

class QAction;
class QMenu;

class QLabel;

namespace corvane {

class DesignControls;
class TFMain;

// One message box of the workbench as the user would see it, with the buttons it offers.
struct WorkbenchBox {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// The workbench: the classic design window as the central area, untouched, with a menu bar
// above it for design files, exports, the clipboard and the analysis windows.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    TFMain* DesignWindow() const { return design_; }

    // Where analysis windows hang their actions.
    QMenu* AnalysisMenu() const { return analysisMenu_; }
    // "Ladder Workbench..." (Ctrl+E) and "Tolerance Analysis..." (Ctrl+T); the workbench connects
    // to their triggered().
    QAction* WorkbenchAction() const { return workbenchAction_; }
    QAction* ToleranceAction() const { return toleranceAction_; }

    // The line below the design area: the terminations of the last run, and the load that an
    // even-order Chebyshev needs.
    QString StatusLine() const;

    // The exact-response window's settings, saved and opened with the design. Setting them
    // counts as an edit of the design.
    const ExactResponseSettings& ExactSettings() const { return exact_; }
    void SetExactSettings(const ExactResponseSettings& settings);

    // Opens a design: the whole file is checked first; a bad file gives one message naming it
    // and changes nothing. A good one sets every control and runs the calculation.
    bool OpenDesign(const QString& path);
    // Saves the design with the safe writer; a failure is shown and keeps the old file whole.
    bool SaveDesign(const QString& path);
    // "corvane FILE": opens the design named after the program's own arguments; a bad file
    // gives its message and the window keeps the defaults. Options (leading "-") are passed over.
    void OpenFromCommandLine(const QStringList& arguments);
    // The design's file, empty for an untitled design.
    QString DesignPath() const { return path_; }
    // True while the controls differ from the design as last opened, saved or started.
    bool HasUnsavedEdits() const;
    // Asks Save / Discard / Cancel when there are unsaved edits; true when the caller may go on.
    bool MayDropEdits();

    // Replace the modal boxes and the file dialogs, so that tests need no user. The box hook
    // returns the button chosen; the file hook returns the chosen path, empty for Cancel.
    using BoxHook = std::function<QMessageBox::StandardButton(const WorkbenchBox&)>;
    using FileHook = std::function<QString(const QString& caption, const QString& filter)>;
    void SetBoxHook(BoxHook hook) { boxHook_ = std::move(hook); }
    void SetFileHook(FileHook hook) { fileHook_ = std::move(hook); }
    // The picture size asked for a chart export; by default a dialog.
    void SetImageSizeHook(std::function<std::optional<QSize>(QSize)> hook);

    // The recent-file list kept in the settings, newest first.
    static QStringList RecentFiles();

signals:
    // A design file set new exact-response settings (also New, with the defaults).
    void ExactSettingsLoaded(const ExactResponseSettings& settings);
    // File → New: the design on screen is gone.
    void DesignCleared();

public slots:
    void NewDesign();
    void Open();
    bool Save();
    bool SaveAs();
    void ExportSpice();
    void ExportTouchstone();
    void ExportCsv();
    void ExportChartImage();
    void CopyElementTable();
    void CopyChartImage();
    void ShowShortcuts();
    void ShowAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Lets the menus' shortcuts through a text field of this window, which would otherwise take
    // them as line-editing keys (Ctrl+E is "end of line"); the clipboard and undo keys stay the field's.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildAnalysisMenu();
    void BuildHelpMenu();
    void FillRecentMenu();

    void RunCompleted();
    bool IsMenuShortcut(const QKeySequence& keys) const;
    // The drop-down that holds a typed text that is none of its items, or none.
    std::optional<Selector> SelectorWithoutItem() const;
    DesignFile CurrentDesign() const;
    void MarkSaved(const QString& path);
    void UpdateCaption();
    void RememberRecent(const QString& path);
    void ForgetRecent(const QString& path);
    // True when a completed run's results are on screen; otherwise says so and gives false.
    bool HaveResults();
    LadderModel RunLadder() const;
    std::string RunDescription() const;
    // Runs an export through the one export helper; a failure is shown with the file's name.
    void Export(const QString& caption, const QString& filter, const QString& suffix,
                const std::function<std::string()>& content);

    QString AskFileName(const QString& caption, const QString& filter, const QString& suffix, bool saving);
    QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton escape = QMessageBox::NoButton);

    TFMain* design_;
    std::unique_ptr<DesignControls> controls_;
    QMenu* analysisMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* workbenchAction_ = nullptr;
    QAction* toleranceAction_ = nullptr;
    QLabel* statusLine_ = nullptr;

    QString path_;
    DesignFile saved_;
    ExactResponseSettings exact_;
    bool haveRun_ = false;
    DesignState runState_;
    int runTopology_ = 0;
    std::string runTitle_;
    std::string runUnit_;

    std::unique_ptr<class ExportHelper> exports_;
    BoxHook boxHook_;
    FileHook fileHook_;
};

} // namespace corvane
