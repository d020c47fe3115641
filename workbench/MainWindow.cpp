// SPDX-License-Identifier: Apache-2.0
#include "workbench/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QStatusBar>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>

#include "chart/TChart.h"
#include "corvane/Version.h"
#include "export/AtomicFile.h"
#include "export/ExportError.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/LadderPlace.h"
#include "filtermath/SelectFilter.h"
#include "run/LadderOfRun.h"
#include "window/TFMain.h"
#include "workbench/DesignBinding.h"
#include "workbench/ExportHelper.h"

namespace corvane {

namespace {

constexpr int kMaxRecentFiles = 8;
const char* const kRecentKey = "recentFiles";
const char* const kDesignFilter = "Corvane designs (*.corvane);;All files (*)";
const char* const kLicencePrefix = "Licence: ";

std::string ToStd(const QString& text)
{
    return text.toStdString();
}

QString FromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// The platform's keys for a standard action; the usual desktop keys where the platform
// defines none (Save As has none on a plain X11 desktop).
QKeySequence StandardKeys(QKeySequence::StandardKey key, const char* usual)
{
    const QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
    return bindings.isEmpty() ? QKeySequence(QString::fromLatin1(usual)) : bindings.constFirst();
}

// Qt's own names for the keys, as the menus show them.
QString KeysOf(const QAction* action)
{
    return action->shortcut().toString(QKeySequence::NativeText);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      design_(new TFMain),
      controls_(std::make_unique<DesignControls>(*design_)),
      exports_(std::make_unique<ExportHelper>(this))
{
    exports_->SetMessageHook([this](const QString& text) { Ask(QMessageBox::Critical, text, QMessageBox::Ok); });
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setCentralWidget(design_);
    BuildMenus();
    // The status line sits below the design area, never over it.
    statusBar()->setSizeGripEnabled(false);
    statusLine_ = new QLabel;
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    statusBar()->addWidget(statusLine_, 1);
    // The design area keeps its fixed size; the window only adds the menu bar and the status line.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(design_, &TFMain::RunCompleted, this, &MainWindow::RunCompleted);
    qApp->installEventFilter(this);
    controls_->WatchEdits(this, [this] { UpdateCaption(); });
    saved_ = CurrentDesign();
    UpdateCaption();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenus()
{
    BuildFileMenu();
    BuildEditMenu();
    BuildAnalysisMenu();
    BuildHelpMenu();
}

void MainWindow::BuildFileMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), StandardKeys(QKeySequence::New, "Ctrl+N"), this, &MainWindow::NewDesign);
    file->addAction(tr("&Open..."), StandardKeys(QKeySequence::Open, "Ctrl+O"), this, &MainWindow::Open);
    recentMenu_ = file->addMenu(tr("Open &Recent"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::FillRecentMenu);
    file->addSeparator();
    file->addAction(tr("&Save"), StandardKeys(QKeySequence::Save, "Ctrl+S"), this, &MainWindow::Save);
    file->addAction(tr("Save &As..."), StandardKeys(QKeySequence::SaveAs, "Ctrl+Shift+S"), this, &MainWindow::SaveAs);
    file->addSeparator();
    QMenu* exports = file->addMenu(tr("&Export"));
    exports->addAction(tr("&SPICE Netlist..."), this, &MainWindow::ExportSpice);
    exports->addAction(tr("&Touchstone..."), this, &MainWindow::ExportTouchstone);
    exports->addAction(tr("Response as &CSV..."), this, &MainWindow::ExportCsv);
    exports->addAction(tr("C&hart as PNG or SVG..."), this, &MainWindow::ExportChartImage);
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), StandardKeys(QKeySequence::Quit, "Ctrl+Q"), this, &QWidget::close);
    quit->setMenuRole(QAction::QuitRole);
}

void MainWindow::BuildEditMenu()
{
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    // A text field with the focus keeps Ctrl+C for its own text.
    edit->addAction(tr("&Copy Element Table"), StandardKeys(QKeySequence::Copy, "Ctrl+C"), this,
                    &MainWindow::CopyElementTable);
    edit->addAction(tr("Copy C&hart Image"), this, &MainWindow::CopyChartImage);
}

void MainWindow::BuildAnalysisMenu()
{
    analysisMenu_ = menuBar()->addMenu(tr("&Analysis"));
    workbenchAction_ = analysisMenu_->addAction(tr("&Ladder Workbench..."));
    workbenchAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    toleranceAction_ = analysisMenu_->addAction(tr("&Tolerance Analysis..."));
    toleranceAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
}

bool MainWindow::IsMenuShortcut(const QKeySequence& keys) const
{
    for (const QAction* action : findChildren<QAction*>())
        if (!action->shortcut().isEmpty() && action->shortcut().matches(keys) == QKeySequence::ExactMatch) return true;
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride) return QMainWindow::eventFilter(watched, event);
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field || field->window() != this) return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence keys(key->keyCombination());
    for (QKeySequence::StandardKey editing : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste,
                                              QKeySequence::Undo, QKeySequence::Redo, QKeySequence::SelectAll})
        if (key->matches(editing)) return QMainWindow::eventFilter(watched, event);
    if (!IsMenuShortcut(keys)) return QMainWindow::eventFilter(watched, event);
    // Ignored and filtered: the field never claims the key, so the shortcut map runs the action.
    event->ignore();
    return true;
}

void MainWindow::BuildHelpMenu()
{
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&Keyboard Shortcuts"), StandardKeys(QKeySequence::HelpContents, "F1"), this,
                    &MainWindow::ShowShortcuts);
    QAction* about = help->addAction(tr("&About Corvane"), this, &MainWindow::ShowAbout);
    about->setMenuRole(QAction::AboutRole);
}

void MainWindow::FillRecentMenu()
{
    recentMenu_->clear();
    const QStringList recent = RecentFiles();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        const QString label = QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName());
        QAction* entry = recentMenu_->addAction(label, this, [this, path] {
            if (MayDropEdits()) OpenDesign(path);
        });
        entry->setToolTip(path);
        entry->setStatusTip(path);
    }
    if (recent.isEmpty()) recentMenu_->addAction(tr("(none)"))->setEnabled(false);
}

QStringList MainWindow::RecentFiles()
{
    return QSettings().value(kRecentKey).toStringList();
}

void MainWindow::RememberRecent(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList recent = RecentFiles();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kMaxRecentFiles) recent.removeLast();
    QSettings().setValue(kRecentKey, recent);
}

void MainWindow::ForgetRecent(const QString& path)
{
    QStringList recent = RecentFiles();
    if (recent.removeAll(QFileInfo(path).absoluteFilePath()) > 0) QSettings().setValue(kRecentKey, recent);
}

DesignFile MainWindow::CurrentDesign() const
{
    DesignFile design = controls_->Read();
    design.exactResponse = exact_;
    return design;
}

bool MainWindow::HasUnsavedEdits() const
{
    return CurrentDesign() != saved_;
}

void MainWindow::SetExactSettings(const ExactResponseSettings& settings)
{
    exact_ = settings;
    UpdateCaption();
}

void MainWindow::UpdateCaption()
{
    const QString name = path_.isEmpty() ? QString() : QFileInfo(path_).fileName() + QStringLiteral("[*] - ");
    setWindowTitle(name + (path_.isEmpty() ? QStringLiteral("%1[*]") : QStringLiteral("%1")).arg(kApplicationTitle));
    setWindowModified(HasUnsavedEdits());
}

void MainWindow::MarkSaved(const QString& path)
{
    path_ = path;
    saved_ = CurrentDesign();
    if (!path.isEmpty()) RememberRecent(path);
    UpdateCaption();
}

QMessageBox::StandardButton MainWindow::Ask(QMessageBox::Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton escape)
{
    if (boxHook_) return boxHook_({icon, kApplicationTitle, text, buttons});
    QMessageBox box(icon, kApplicationTitle, text, buttons, this);
    if (escape != QMessageBox::NoButton) box.setEscapeButton(escape);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString MainWindow::AskFileName(const QString& caption, const QString& filter, const QString& suffix, bool saving)
{
    if (fileHook_) return fileHook_(caption, filter);
    QFileDialog dialog(this, caption, path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath(), filter);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

bool MainWindow::MayDropEdits()
{
    if (!HasUnsavedEdits()) return true;
    const QString name =
        path_.isEmpty() ? tr("the untitled design") : QStringLiteral("\"%1\"").arg(QFileInfo(path_).fileName());
    switch (Ask(QMessageBox::Warning, tr("Save the changes to %1?").arg(name),
                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Save: return Save();
    case QMessageBox::Discard: return true;
    default: return false;
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (MayDropEdits())
        event->accept();
    else
        event->ignore();
}

void MainWindow::NewDesign()
{
    if (!MayDropEdits()) return;
    const DesignFile fresh;
    controls_->Apply(fresh);
    exact_ = fresh.exactResponse;
    // Nothing of the earlier design stays on screen.
    controls_->Chart()->Clear(0);
    controls_->Chart()->Clear(1);
    controls_->Chart()->SetTitle(QString());
    controls_->Grid()->clearContents();
    haveRun_ = false;
    statusLine_->clear();
    MarkSaved(QString());
    emit DesignCleared();
    emit ExactSettingsLoaded(exact_);
}

void MainWindow::Open()
{
    if (!MayDropEdits()) return;
    const QString path = AskFileName(tr("Open Design"), kDesignFilter, QString(), false);
    if (!path.isEmpty()) OpenDesign(path);
}

bool MainWindow::OpenDesign(const QString& path)
{
    DesignFile design;
    try {
        design = ReadDesignFile(ToStd(path));
    } catch (const DesignFileError& error) {
        Ask(QMessageBox::Warning, FromStd(error.what()), QMessageBox::Ok);
        if (!QFileInfo::exists(path)) ForgetRecent(path);
        return false;
    }
    controls_->Apply(design);
    exact_ = design.exactResponse;
    MarkSaved(path);
    emit ExactSettingsLoaded(exact_);
    design_->BCalculateClick();
    return true;
}

void MainWindow::OpenFromCommandLine(const QStringList& arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(QLatin1Char('-'))) continue;
        OpenDesign(arguments[i]);
        return;
    }
}

bool MainWindow::Save()
{
    return path_.isEmpty() ? SaveAs() : SaveDesign(path_);
}

bool MainWindow::SaveAs()
{
    const QString path = AskFileName(tr("Save Design As"), kDesignFilter, QStringLiteral("corvane"), true);
    return !path.isEmpty() && SaveDesign(path);
}

std::optional<Selector> MainWindow::SelectorWithoutItem() const
{
    const DesignFile design = controls_->Read();
    for (int s = 0; s < kSelectorCount; ++s)
        if (design.selectors[static_cast<size_t>(s)] < 0) return static_cast<Selector>(s);
    return std::nullopt;
}

bool MainWindow::SaveDesign(const QString& path)
{
    // A typed text that is no item would make a file that other readers refuse; the run never
    // designs from it either.
    if (const std::optional<Selector> selector = SelectorWithoutItem()) {
        static const char* const kSelectorNames[] = {"filter type", "approximation", "topology", "frequency unit"};
        Ask(QMessageBox::Warning,
            tr("The design is not saved: the %1 box holds \"%2\", which is none of its items. Choose one of its "
               "items, then save again.")
                .arg(tr(kSelectorNames[static_cast<int>(*selector)]), controls_->Box(*selector)->currentText()),
            QMessageBox::Ok);
        return false;
    }
    try {
        WriteDesignFile(ToStd(path), CurrentDesign());
    } catch (const std::exception& error) {
        Ask(QMessageBox::Critical, FromStd(error.what()), QMessageBox::Ok);
        return false;
    }
    MarkSaved(path);
    return true;
}

void MainWindow::RunCompleted()
{
    haveRun_ = true;
    runState_ = design_->State();
    runTopology_ = controls_->Box(Selector::Topology)->currentIndex();
    runTitle_ = ToStd(controls_->Chart()->Title());
    runUnit_ = ToStd(controls_->Box(Selector::Scale)->currentText());
    statusLine_->setText(StatusLine());
}

QString MainWindow::StatusLine() const
{
    if (!haveRun_ || runState_.GValues.size() < 3) return {};
    const QString source = FromStd(EngineeringText(runState_.RL, "\u03a9"));
    const double load = PrototypeLoad(runState_.RL, runState_.GValues, TopologyForIndex(runTopology_));
    const int order = static_cast<int>(runState_.GValues.size()) - 2;
    if (IsChebyshevKind(runState_.FilterKind) && order % 2 == 0)
        return tr("An even-order Chebyshev needs a load of %1 for a source of %2; an odd order works between equal "
                  "terminations.")
            .arg(FromStd(EngineeringText(load, "\u03a9")), source);
    return tr("Source and load %1.").arg(source);
}

bool MainWindow::HaveResults()
{
    // Editing an input that changes the response empties the chart: its results are gone.
    if (haveRun_ && controls_->Chart()->PointCount(0) > 0) return true;
    Ask(QMessageBox::Information, tr("Calculate the design first: there is no response to export."), QMessageBox::Ok);
    return false;
}

void MainWindow::ShowShortcuts()
{
    QString rows;
    const auto addRow = [&rows](const QString& keys, const QString& what) {
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;&nbsp;%2</td></tr>").arg(keys.toHtmlEscaped(), what);
    };
    for (QAction* menu : menuBar()->actions()) {
        const QList<QAction*> entries = menu->menu() ? menu->menu()->actions() : QList<QAction*>();
        for (const QAction* action : entries)
            if (!action->shortcut().isEmpty()) addRow(KeysOf(action), action->text().remove(QLatin1Char('&')));
    }
    addRow(tr("Enter"), tr("Apply the sweep and calculate"));
    addRow(tr("Alt+C"), tr("Calculate"));
    addRow(tr("Left drag"), tr("Zoom the chart to the rectangle"));
    addRow(tr("Right drag"), tr("Pan the chart"));
    addRow(tr("Double click"), tr("Show the whole chart again"));
    Ask(QMessageBox::NoIcon, QStringLiteral("<table>%1</table>").arg(rows), QMessageBox::Ok);
}

void MainWindow::ShowAbout()
{
    const QString text =
        tr("<b>Corvane %1</b><br>Design of doubly terminated LC ladder filters.<br><br>"
           "Built with Qt %2, running on Qt %3.<br>%4")
            .arg(QString::fromLatin1(kCorvaneVersion), QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()),
                 tr(kLicencePrefix) + QString::fromLatin1(kCorvaneLicence));
    Ask(QMessageBox::Information, text, QMessageBox::Ok);
}

} // namespace corvane
