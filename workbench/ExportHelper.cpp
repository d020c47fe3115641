// SPDX-License-Identifier: Apache-2.0
#include "workbench/ExportHelper.h"

#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QSettings>
#include <QSpinBox>
#include <QSvgGenerator>

#include "chart/PlotView.h"
#include "export/AtomicFile.h"
#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"

namespace corvane {

namespace {

const char* const kImageSizeKey = "Workbench/imageSize";
const QSize kDefaultImageSize(1200, 800);
constexpr int kMinImageSide = 200;
constexpr int kMaxImageSide = 8000;

bool IsSvg(const QString& path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0;
}

// Width and height in pixels, with OK and Cancel.
std::optional<QSize> SizeDialog(QWidget* parent, QSize proposed)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QObject::tr("Image Size"));
    auto* width = new QSpinBox;
    auto* height = new QSpinBox;
    for (QSpinBox* side : {width, height}) {
        side->setRange(kMinImageSide, kMaxImageSide);
        side->setSuffix(QObject::tr(" px"));
    }
    width->setValue(proposed.width());
    height->setValue(proposed.height());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QObject::tr("&Width:"), width);
    form->addRow(QObject::tr("&Height:"), height);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return QSize(width->value(), height->value());
}

} // namespace

ExportHelper::ExportHelper(QWidget* window) : window_(window) {}

QString ExportHelper::AskSavePath(const QString& caption, const QString& filter, const QString& suffix)
{
    QString path;
    if (fileHook_) {
        path = fileHook_(caption, filter);
    } else {
        QFileDialog dialog(window_, caption, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    }
    if (!path.isEmpty() && path != QStringLiteral("-") && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

std::optional<QSize> ExportHelper::AskSize(QSize proposed)
{
    return sizeHook_ ? sizeHook_(proposed) : SizeDialog(window_, proposed);
}

void ExportHelper::Show(const QString& text)
{
    if (messageHook_)
        messageHook_(text);
    else
        QMessageBox::warning(window_, window_ ? window_->windowTitle() : QString(), text);
}

bool ExportHelper::WriteTo(const QString& path, const std::function<std::string()>& content)
{
    const std::string file = path.toStdString();
    std::string bytes;
    try {
        bytes = content();
    } catch (const Failure& failure) {
        Show(QString::fromStdString("Cannot write file '" + file + "': " + ErrorReportText(failure.what())));
        return false;
    } catch (const std::exception& failure) {
        Show(QString::fromStdString("Cannot write file '" + file + "': " + failure.what()));
        return false;
    }
    try {
        WriteFileAtomically(file, bytes);
    } catch (const std::exception& failure) {
        // The writer's own text names the file and the reason.
        Show(QString::fromStdString(failure.what()));
        return false;
    }
    return true;
}

QString ExportHelper::Export(const QString& caption, const QString& filter, const QString& suffix,
                             const std::function<std::string()>& content)
{
    const QString path = AskSavePath(caption, filter, suffix);
    if (path.isEmpty() || !WriteTo(path, content)) return {};
    return path;
}

QString ExportHelper::ExportImage(const QString& caption, PlotView& plot)
{
    return ExportImage(caption, [&plot](QPainter& painter, QSize size) { plot.Render(painter, size); });
}

QString ExportHelper::ExportImage(const QString& caption, const Drawing& draw)
{
    const QString path =
        AskSavePath(caption, QObject::tr("PNG images (*.png);;SVG drawings (*.svg)"), QStringLiteral("png"));
    if (path.isEmpty()) return {};
    const QSize last = QSettings().value(kImageSizeKey, kDefaultImageSize).toSize();
    const std::optional<QSize> size = AskSize(last.isValid() ? last : kDefaultImageSize);
    if (!size) return {};
    QSettings().setValue(kImageSizeKey, *size);
    if (!WriteTo(path, [&] { return ImageBytes(draw, *size, path); })) return {};
    return path;
}

std::string ExportHelper::ImageBytes(PlotView& plot, QSize size, const QString& path)
{
    return ImageBytes([&plot](QPainter& painter, QSize at) { plot.Render(painter, at); }, size, path);
}

std::string ExportHelper::ImageBytes(const Drawing& draw, QSize size, const QString& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (IsSvg(path)) {
        // Lines and text stay vectors.
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        QPainter painter(&svg);
        draw(painter, size);
    } else {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            draw(painter, size);
        }
        if (!image.save(&buffer, "PNG")) throw Failure("the image could not be encoded");
    }
    return bytes.toStdString();
}

} // namespace corvane
