// SPDX-License-Identifier: Apache-2.0
#include "workbench/OptimiseDialog.h"

#include "analysis/MaskText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/MaskText.h"
#include <memory>

#include "export/PartCatalogue.h"
#include "window/QtText.h"
#include "workbench/BackgroundJob.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"

namespace corvane {

namespace {

enum Column { NameColumn, DesignedColumn, KeepColumn, TuneColumn, ChosenColumn, PartsColumn, ColumnCount };

QString ValueText(double value, PartKind kind)
{
    return ToQt(EngineeringText(value, UnitOf(kind)));
}

QString PartsText(const PartChoice& choice)
{
    QStringList members;
    for (const CataloguePart& m : choice.members)
        members << ToQt(EngineeringText(m.value, UnitOf(m.kind), true) +
                        (m.partNumber.empty() ? "" : " " + m.partNumber));
    if (choice.tuned) return QObject::tr("trimmer");
    if (members.isEmpty()) return QObject::tr("kept");
    return members.join(choice.form == ChoiceForm::Parallel ? QStringLiteral(" || ") : QStringLiteral(" + "));
}

QTableWidgetItem* Checkable()
{
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    item->setCheckState(Qt::Unchecked);
    return item;
}

} // namespace

OptimiseDialog::OptimiseDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Optimise Parts"));
    goal_ = new QComboBox;
    goal_->addItems({tr("Largest worst-case margin"), tr("Highest yield (Monte Carlo)")});
    catalogue_ = new QLineEdit;
    catalogue_->setPlaceholderText(tr("none: the build settings' standard series"));
    auto* browse = new QPushButton(tr("&Browse..."));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Parts Catalogue"), catalogue_->text(),
                                                          tr("Parts catalogues (*.csv);;All files (*)"));
        if (!path.isEmpty()) catalogue_->setText(path);
    });
    auto* catalogueRow = new QHBoxLayout;
    catalogueRow->addWidget(catalogue_, 1);
    catalogueRow->addWidget(browse);
    pairs_ = new QCheckBox(tr("Allow &pairs (capacitors in parallel, inductors in series)"));
    auto* form = new QFormLayout;
    form->addRow(tr("&Goal:"), goal_);
    auto* catalogueLabel = new QLabel(tr("&Catalogue:"));
    catalogueLabel->setBuddy(catalogue_);
    form->addRow(catalogueLabel, catalogueRow);
    form->addRow(QString(), pairs_);
    parts_ = new QTableWidget(0, ColumnCount);
    parts_->setHorizontalHeaderLabels({tr("Part"), tr("Designed"), tr("Keep"), tr("Tune"), tr("Chosen"), tr("Parts")});
    parts_->verticalHeader()->hide();
    parts_->horizontalHeader()->setStretchLastSection(true);
    summary_ = new QLabel(tr("The mask is the Tolerance tab's."));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* run = buttons->addButton(tr("&Run"), QDialogButtonBox::ActionRole);
    apply_ = buttons->addButton(tr("&Apply"), QDialogButtonBox::AcceptRole);
    apply_->setEnabled(false);
    connect(run, &QPushButton::clicked, this, &OptimiseDialog::Run);
    connect(apply_, &QPushButton::clicked, this, [this] {
        if (result_) emit Applied(*result_);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The search runs on a worker, with its progress and Cancel under the summary.
    job_ = new BackgroundJob(this);
    connect(job_, &BackgroundJob::Status, summary_, &QLabel::setText);
    connect(this, &QDialog::rejected, job_, &BackgroundJob::Cancel);
    auto* progress = new QHBoxLayout;
    progress->addWidget(job_->ProgressBar());
    progress->addWidget(job_->CancelButton());
    progress->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(parts_, 1);
    layout->addWidget(summary_);
    layout->addLayout(progress);
    layout->addWidget(buttons);
    resize(640, 480);
}

void OptimiseDialog::SetInput(OptimiseInput input)
{
    input_ = std::move(input);
    result_.reset();
    apply_->setEnabled(false);
    summary_->setText(MaskSummary());
    ShowParts();
}

void OptimiseDialog::ShowParts()
{
    parts_->setRowCount(0);
    kinds_.clear();
    for (const ModelBranch& branch : input_.designed.branches)
        for (const ModelPart& part : branch.parts) {
            kinds_.push_back(part.kind);
            const int row = parts_->rowCount();
            parts_->insertRow(row);
            parts_->setItem(row, NameColumn, new QTableWidgetItem(ToQt(part.designator)));
            parts_->setItem(row, DesignedColumn, new QTableWidgetItem(ValueText(part.value, part.kind)));
            parts_->setItem(row, KeepColumn, Checkable());
            parts_->setItem(row, TuneColumn, Checkable());
            parts_->setItem(row, ChosenColumn, new QTableWidgetItem);
            parts_->setItem(row, PartsColumn, new QTableWidgetItem);
            for (int c : {NameColumn, DesignedColumn, ChosenColumn, PartsColumn})
                parts_->item(row, c)->setFlags(Qt::ItemIsEnabled);
        }
    parts_->resizeColumnsToContents();
}

OptimiseRequest OptimiseDialog::Request() const
{
    OptimiseRequest request;
    const std::string path = catalogue_->text().trimmed().toStdString();
    if (!path.empty()) {
        const PartCatalogue catalogue = ReadCatalogue(path);
        request.stock = StockOfCatalogue(catalogue.parts);
    } else if (input_.series) {
        double low = INFINITY, high = 0.0;
        for (const ModelBranch& b : input_.designed.branches)
            for (const ModelPart& p : b.parts) low = std::min(low, p.value), high = std::max(high, p.value);
        request.stock = StockOfSeries(*input_.series, low, high);
    } else {
        throw Failure(tr("Choose a catalogue, or a standard series in the build settings.").toStdString());
    }
    request.allowPairs = pairs_->isChecked();
    for (int row = 0; row < parts_->rowCount(); ++row) {
        const std::string name = parts_->item(row, NameColumn)->text().toStdString();
        if (parts_->item(row, KeepColumn)->checkState() == Qt::Checked) request.keep.insert(name);
        if (parts_->item(row, TuneColumn)->checkState() == Qt::Checked) request.tune.insert(name);
    }
    request.goal = goal_->currentIndex() == 1 ? OptimiseGoal::Yield : OptimiseGoal::Margin;
    request.yield = input_.yield;
    return request;
}

// A rough count of the margins a run measures, for the progress bar: the exhaustive search's
// most, a few rounds of descent, and for the yield every candidate's trials in those rounds.
long long ExpectedMargins(const OptimiseRequest& request, std::size_t parts)
{
    constexpr long long kDescent = 3 * 8;
    const long long margins = kExhaustiveCombinations + kDescent * static_cast<long long>(parts);
    if (request.goal != OptimiseGoal::Yield) return margins;
    return margins + kDescent * static_cast<long long>(parts) * std::max(1, request.yield.trials);
}

bool OptimiseDialog::Run()
{
    OptimiseRequest request;
    try {
        request = Request();
    } catch (const std::exception& problem) {
        result_.reset();
        apply_->setEnabled(false);
        summary_->setText(ToQt(ErrorReportText(problem.what())));
        return false;
    }
    result_.reset();
    apply_->setEnabled(false);
    auto outcome = std::make_shared<std::optional<OptimiseResult>>();
    const long long expected = ExpectedMargins(request, static_cast<std::size_t>(parts_->rowCount()));
    job_->Start(
        tr("Optimising the parts"),
        [input = input_, request, outcome, expected](JobControl& control) mutable {
            control.total = expected;
            request.cancel = &control.cancel;
            request.margins = &control.done;
            try {
                *outcome = OptimiseParts(input.designed, input.quality, input.mask, request);
            } catch (const OptimiseCancelled&) {
                // the job reports the cancel
            }
        },
        [this, outcome] {
            if (!*outcome) return;
            result_ = *outcome;
            ShowResult();
            apply_->setEnabled(true);
        });
    return true;
}

void OptimiseDialog::ShowResult()
{
    int row = 0;
    for (const PartChoice& choice : result_->choices) {
        parts_->item(row, ChosenColumn)->setText(ValueText(choice.value, kinds_.at(static_cast<std::size_t>(row))));
        parts_->item(row, PartsColumn)->setText(PartsText(choice));
        ++row;
    }
    parts_->resizeColumnsToContents();
    summary_->setText(Summary());
}

QString OptimiseDialog::MaskSummary() const
{
    QString text = tr("The mask is the Tolerance tab's: %1.").arg(QString::fromStdString(MaskText(input_.mask)));
    // A passband alone is met best by moving the cutoff away from it: nothing holds the stopband.
    if (!input_.mask.Has(MaskKind::Stop))
        text += tr(" It has no stopband, so nothing keeps the cutoff where it was designed.");
    return text;
}

QString OptimiseDialog::Summary() const
{
    if (!result_) return summary_->text();
    QString text = MaskSummary() + QLatin1Char(' ') +
                   tr("Worst mask margin: %1 dB rounded, %2 dB optimised, %3.")
                       .arg(result_->marginBeforeDb, 0, 'f', 3)
                       .arg(result_->marginAfterDb, 0, 'f', 3)
                       .arg(QString::fromStdString(WhereText(input_.mask.bands, result_->worstBand, result_->worstHz,
                                                             input_.unitScale, input_.unitText)));
    if (result_->yieldBefore && result_->yieldAfter)
        text += tr(" Yield: %1 % rounded, %2 % optimised.")
                    .arg(100.0 * *result_->yieldBefore, 0, 'f', 1)
                    .arg(100.0 * *result_->yieldAfter, 0, 'f', 1);
    return text;
}

} // namespace corvane
