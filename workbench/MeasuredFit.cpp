// SPDX-License-Identifier: Apache-2.0
#include "workbench/MeasuredFit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <tuple>

#include "analysis/InputRules.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/NumberText.h"
#include "workbench/BackgroundJob.h"

namespace corvane {

namespace {

const QColor kOutsideColour(180, 0, 0);

QString Eng(double value, const char* unit)
{
    return QString::fromStdString(EngineeringText(value, unit));
}

QString UnitOfDesignator(const std::string& designator)
{
    const std::optional<PartKind> kind = DesignatorKind(designator);
    return kind ? QString::fromUtf8(UnitOf(*kind)) : QString();
}

// What the work leaves for the window: a result, or the refusal's text.
struct FitOutcome {
    std::optional<FitResult> result;
    QString refusal;
};

} // namespace

FitDialog::FitDialog(const FitOptions& options, const QString& unitText, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Fit Parts to the Measured File"));
    start_ = new QLineEdit(options.start);
    stop_ = new QLineEdit(options.stop);
    start_->setObjectName(QStringLiteral("Fit from"));
    stop_->setObjectName(QStringLiteral("Fit to"));
    start_->setPlaceholderText(tr("the file's first frequency"));
    stop_->setPlaceholderText(tr("the file's last frequency"));
    fitQ_ = new QCheckBox(tr("Fit a common inductor &Q"));
    fitQ_->setChecked(options.fitQ);
    fitStray_ = new QCheckBox(tr("Fit a common &stray capacitance at every node"));
    fitStray_->setChecked(options.fitStray);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Fit"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Fit &from (%1):").arg(unitText), start_);
    form->addRow(tr("Fit &to (%1):").arg(unitText), stop_);
    form->addRow(fitQ_);
    form->addRow(fitStray_);
    form->addRow(buttons);
}

FitOptions FitDialog::Options() const
{
    return {start_->text(), stop_->text(), fitQ_->isChecked(), fitStray_->isChecked()};
}

MeasuredFit::MeasuredFit(QObject* parent) : QObject(parent)
{
    panel_ = new QWidget;
    button_ = new QPushButton(tr("&Fit\u2026"));
    button_->setObjectName(QStringLiteral("FitButton"));
    button_->setToolTip(tr("Which part is off: fit the part values to the measured S21 and S11"));
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("FitSummary"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    table_ = new QTableWidget(0, 7);
    table_->setObjectName(QStringLiteral("FitTable"));
    table_->setHorizontalHeaderLabels({tr("Part"), tr("Designed"), tr("Fitted"), tr("Change, %"), tr("Std. error, %"),
                                       tr("Confidence"), tr("Tolerance")});
    table_->verticalHeader()->setVisible(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* row = new QHBoxLayout;
    row->addWidget(button_);
    row->addWidget(summary_, 1);
    auto* column = new QVBoxLayout(panel_);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(row);
    column->addWidget(table_);
    job_ = new BackgroundJob(this);
    connect(job_, &BackgroundJob::Status, this, &MeasuredFit::Status);
    connect(job_, &BackgroundJob::Ended, this, &MeasuredFit::Finished);
    connect(button_, &QPushButton::clicked, this, &MeasuredFit::AskAndStart);
    SetInput(std::nullopt);
}

// The same file against the same ladder: a result on screen still answers it.
bool SameFit(const FitInput& a, const FitInput& b)
{
    return a.fileName == b.fileName && a.points.size() == b.points.size() && a.built == b.built &&
           a.quality.QL == b.quality.QL && a.quality.QC == b.quality.QC && a.band.shape == b.band.shape &&
           a.band.lowHz == b.band.lowHz && a.band.highHz == b.band.highHz;
}

void MeasuredFit::SetInput(std::optional<FitInput> input)
{
    if (input && input_ && SameFit(*input, *input_)) {
        input_ = std::move(input);
        return;
    }
    job_->Cancel();
    input_ = std::move(input);
    button_->setEnabled(input_.has_value());
    ClearResult(input_ ? tr("Fit\u2026 finds which part is off.") : QString());
}

void MeasuredFit::ClearResult(const QString& summary)
{
    result_.reset();
    table_->setRowCount(0);
    table_->setVisible(false);
    summary_->setText(summary);
}

void MeasuredFit::AskAndStart()
{
    if (!input_) return;
    FitDialog dialog(options_, input_->unitText, panel_->window());
    if (dialog.exec() == QDialog::Accepted) Start(dialog.Options());
}

FitRequest MeasuredFit::Request(const FitOptions& options) const
{
    FitRequest request;
    request.fitInductorQ = options.fitQ;
    request.fitStray = options.fitStray;
    const double scale = input_->unitScale;
    request.lowHz = input_->points.front().hz;
    request.highHz = input_->points.back().hz;
    if (!options.start.trimmed().isEmpty())
        request.lowHz = ReadFrequency(options.start.toStdString(), "Fit from", scale) * scale;
    if (!options.stop.trimmed().isEmpty())
        request.highHz = ReadFrequency(options.stop.toStdString(), "Fit to", scale) * scale;
    if (!(request.lowHz < request.highHz)) throw InputError("Fit from must lie below Fit to.");
    if (tolerances_) std::tie(request.inductorPercent, request.capacitorPercent) = tolerances_();
    return request;
}

void MeasuredFit::Start(const FitOptions& options)
{
    if (!input_) return;
    options_ = options;
    FitRequest request;
    try {
        request = Request(options);
    } catch (const Failure& failure) {
        emit Status(QString::fromStdString(failure.what()), true);
        return;
    }
    ClearResult(tr("Fitting\u2026"));
    auto outcome = std::make_shared<FitOutcome>();
    job_->Start(
        tr("Fitting the parts to %1").arg(input_->fileName),
        [input = *input_, request, outcome](JobControl& control) mutable {
            control.total = kMaxFitIterations;
            request.cancel = &control.cancel;
            request.iterationsDone = &control.done;
            try {
                outcome->result = FitParts(input.points, input.built, input.quality, input.band, request);
            } catch (const FitCancelled&) {
                // the job reports the cancel
            } catch (const Failure& failure) {
                outcome->refusal = QStringLiteral("%1: %2").arg(
                    input.fileName, QString::fromStdString(ErrorReportText(failure.what())));
            }
        },
        [this, outcome] {
            if (outcome->result)
                Show(*outcome->result);
            else
                ShowRefusal(outcome->refusal);
        });
}

void MeasuredFit::ShowRefusal(const QString& text)
{
    ClearResult(text);
    emit Status(text, true);
}

void MeasuredFit::Show(const FitResult& result)
{
    result_ = result;
    table_->setRowCount(static_cast<int>(result.parts.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const FittedPart& p = result.parts[static_cast<size_t>(r)];
        const QString unit = UnitOfDesignator(p.designator);
        const QStringList cells{QString::fromStdString(p.designator),
                                Eng(p.designed, qPrintable(unit)),
                                Eng(p.fitted, qPrintable(unit)),
                                QString::asprintf("%+.3f", p.changePercent),
                                QString::asprintf("%.3g", p.stdErrorPercent),
                                QString::fromLatin1(ConfidenceName(p.confidence)),
                                p.outsideTolerance ? tr("outside") : tr("within")};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c > 0 && c < 5) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (p.outsideTolerance) item->setForeground(kOutsideColour);
            table_->setItem(r, c, item);
        }
    }
    // As tall as its rows, up to a dozen, so that the plot below keeps the rest.
    constexpr int kMostRows = 12;
    int height = table_->horizontalHeader()->sizeHint().height() + 2 * table_->frameWidth();
    for (int r = 0; r < std::min(table_->rowCount(), kMostRows); ++r) height += table_->rowHeight(r);
    table_->setFixedHeight(height);
    table_->setVisible(true);
    summary_->setText(SummaryText());
    emit Status(tr("Fitted to %1: %2").arg(input_ ? input_->fileName : QString(), SummaryText()), false);
}

QString MeasuredFit::SummaryText() const
{
    if (!result_) return summary_->text();
    QString text = tr("%1 points, residual %2 dB rms after %3 iterations")
                       .arg(result_->points)
                       .arg(QString::number(result_->residualDb, 'f', 4))
                       .arg(result_->iterations);
    if (result_->inductorQ) text += tr("; inductor Q %1").arg(QString::number(*result_->inductorQ, 'f', 1));
    if (result_->strayFarads)
        text += tr("; stray %1 \u00b1 %2 at every node")
                    .arg(Eng(*result_->strayFarads, "F"), Eng(result_->strayStdErrorFarads, "F"));
    return text + QStringLiteral(".");
}

} // namespace corvane
