// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QPainter;
class QWidget;

namespace corvane {

class PlotView;

// Every export of the workbench, whatever its format: asks for the file, makes the content,
// and writes it whole through the safe writer. A failure, whether making the content or writing
// it, is one message naming the file and the reason, and leaves any old file as it was.
class ExportHelper {
public:
    using FileHook = std::function<QString(const QString& caption, const QString& filter)>;
    using SizeHook = std::function<std::optional<QSize>(QSize proposed)>;
    using MessageHook = std::function<void(const QString& text)>;

    explicit ExportHelper(QWidget* window);

    // Replace the dialogs and the message box, so that tests need no user.
    void SetFileHook(FileHook hook) { fileHook_ = std::move(hook); }
    void SetSizeHook(SizeHook hook) { sizeHook_ = std::move(hook); }
    void SetMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }

    // Asks for a file (suffix, without its dot, added to a name without one) and writes content()
    // there. Returns the path written; empty after Cancel or a failure.
    QString Export(const QString& caption, const QString& filter, const QString& suffix,
                   const std::function<std::string()>& content);
    // Draws a picture at a size: the chart alone, laid out at that size.
    using Drawing = std::function<void(QPainter& painter, QSize size)>;
    // The same for a drawing: the file, then the size to draw it at; PNG, or SVG for a ".svg" name.
    QString ExportImage(const QString& caption, const Drawing& draw);
    QString ExportImage(const QString& caption, PlotView& plot);
    // The file chosen in the save dialog, the suffix added to a name without one; empty for Cancel.
    QString AskSavePath(const QString& caption, const QString& filter, const QString& suffix);
    // Writes content() to path; false after a failure, which has been shown.
    bool WriteTo(const QString& path, const std::function<std::string()>& content);

    // The drawing at size, as PNG bytes, or as an SVG drawing for a path ending in ".svg".
    static std::string ImageBytes(const Drawing& draw, QSize size, const QString& path);
    static std::string ImageBytes(PlotView& plot, QSize size, const QString& path);

    // The picture size, from the dialog or the hook; none for Cancel.
    std::optional<QSize> AskSize(QSize proposed);

private:
    void Show(const QString& text);

    QWidget* window_;
    FileHook fileHook_;
    SizeHook sizeHook_;
    MessageHook messageHook_;
};

} // namespace corvane
