#include "analysis/AnalysisExport.h"

#include "analysis/AnalysisSheets.h"
#include "analysis/CAnalysisPage.h"
#include "analysis/CAnalysisView.h"
#include "app/Globals.h"
#include "app/Prompter.h"
#include "export/ChartWorkbook.h"
#include "export/ExportMessages.h"
#include "export/FilePlacement.h"
#include "mainwnd/CommandGuards.h"
#include "book/BookMaintenance.h"

#include <QBuffer>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace {

constexpr qreal kPictureScale = 2.0;

// Draws what the view shows (the chart, not the scroll bars or the frame).
void RenderChart(QChartView *view, QPainter &painter, const QRectF &target)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    view->scene()->render(&painter, target, view->mapToScene(view->viewport()->rect()).boundingRect());
}

// A file name the book in use can never be.
bool IsTheBook(const QString &path)
{
    return orv::BookMaintenance::isSameFile(path, AppBookPath());
}

} // namespace

QByteArray ChartPng(QChartView *view)
{
    const QSize size = view->viewport()->size();
    QImage image(size * kPictureScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPictureScale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        RenderChart(view, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

QByteArray ChartSvg(QChartView *view, const QString &title)
{
    const QSize size = view->viewport()->size();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    svg.setDescription(QStringLiteral("Orvendal 财务分析"));
    {
        QPainter painter(&svg);
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        RenderChart(view, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return bytes;
}

void SaveChartPicture(QWidget *parent, CAnalysisView &view)
{
    const ProgramDirGuard programDir;
    CAnalysisPage *page = view.CurrentPage();
    const QString title = orv::chartTitle(page->ChartKind());
    FileDialogRequest request;
    request.title = QStringLiteral("保存图片");
    request.proposedPath =
        QDir(g_strAppDir).filePath(DatedExportName(title, QStringLiteral("png"), QDate::currentDate()));
    request.filters = {QStringLiteral("PNG图片(*.png)"), QStringLiteral("SVG矢量图(*.svg)"),
                       QStringLiteral("所有文件 (*.*)")};
    request.defaultSuffix = QStringLiteral("png");
    QString path = Prompter().ChooseFile(parent, request);
    if (path.isEmpty())
        return;
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty()) {
        path += QStringLiteral(".png");
        suffix = QStringLiteral("png");
    }
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")) {
        ShowAttention(parent, QStringLiteral("图片只能保存为PNG或SVG格式：请用“.png”或“.svg”作文件名的结尾!"));
        return;
    }
    if (IsTheBook(path)) {
        ShowAttention(parent, QStringLiteral("不能用图片覆盖正在使用的数据库文件，请另选一个文件名!"));
        return;
    }
    const QString described = title + u' ' + view.Period().label();
    const QByteArray bytes =
        suffix == QLatin1String("svg") ? ChartSvg(page->ChartView(), described) : ChartPng(page->ChartView());
    if (bytes.isEmpty()) {
        ShowMessage(parent, QStringLiteral("图片没有画成（可能是内存不足），文件没有保存。请把窗口缩小一些再试。"), QString(),
                    MsgIcon::Stop);
        return;
    }
    ShowExportOutcome(parent, orv::placeNewFile(path, bytes), path, QStringLiteral("图片"));
}

void SaveAnalysisWorkbook(QWidget *parent, CAnalysisView &view)
{
    const ProgramDirGuard programDir;
    FileDialogRequest request;
    request.title = QStringLiteral("保存Excel表");
    request.proposedPath =
        QDir(g_strAppDir).filePath(DatedExportName(QStringLiteral("财务分析"), QStringLiteral("xlsx"), QDate::currentDate()));
    request.filters = {QStringLiteral("Excel文件(*.xlsx)"), QStringLiteral("所有文件 (*.*)")};
    request.defaultSuffix = QStringLiteral("xlsx");
    const QString path = Prompter().ChooseFile(parent, request);
    if (path.isEmpty())
        return;
    if (IsTheBook(path)) {
        ShowAttention(parent, QStringLiteral("不能用Excel表覆盖正在使用的数据库文件，请另选一个文件名!"));
        return;
    }
    orv::SheetOutcome outcome;
    {
        const WaitCursor busy;
        if (!view.ComputeAll())
            return;
        outcome = orv::writeChartWorkbook(path, orv::analysisSheets(view.Report()));
    }
    ShowExportOutcome(parent, outcome, path, QStringLiteral("Excel表"));
}
