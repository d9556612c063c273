#include "DisplayPrinter.h"

#include "display/DisplayBuffer.h"
#include "display/DisplayWidget.h"
#include "platform/Codepage.h"
#include "platform/UiServices.h"

#include <QFontMetricsF>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>

#include <algorithm>

namespace {
// The display's 12-pixel "Courier New" at the screen's 96 dots per inch.
QFont printFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9.0);
    return font;
}

} // namespace

CDisplayPrinter::CDisplayPrinter(CDisplayWidget *display, QWidget *dialogParent)
    : QObject(dialogParent)
    , m_display(display)
    , m_parent(dialogParent)
{}

CDisplayPrinter::~CDisplayPrinter() = default;

QPrinter &CDisplayPrinter::printer()
{
    // Made at the first use: looking the printers up can take a moment.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CDisplayPrinter::applyMargins(QPrinter &printer)
{
    const double inch = kMarginTwips / 1440.0;
    printer.setPageMargins(QMarginsF(inch, inch, inch, inch) * 25.4, QPageLayout::Millimeter);
}

std::vector<CDisplayPrinter::PrintLine> CDisplayPrinter::wrapLines(const CDisplayBuffer &buffer,
                                                                   int columns)
{
    columns = std::max(1, columns);
    std::vector<PrintLine> lines;
    lines.reserve(static_cast<std::size_t>(buffer.lineCount()));
    for (int i = 0; i < buffer.lineCount(); ++i) {
        const qsizetype start = buffer.lineStart(i);
        const qsizetype length = buffer.lineLength(i);
        qsizetype done = 0;
        do {
            const qsizetype piece = std::min<qsizetype>(columns, length - done);
            lines.push_back({start + done, piece});
            done += piece;
        } while (done < length);
    }
    return lines;
}

bool CDisplayPrinter::printBuffer(const CDisplayBuffer &buffer, QPrinter &printer)
{
    applyMargins(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFont font(printFont(), &printer);
    painter.setFont(font);
    const QFontMetricsF fm(font, &printer);
    const QRectF area = printer.pageRect(QPrinter::DevicePixel);
    const double lineHeight = std::max(1.0, fm.lineSpacing());
    const double charWidth = std::max(1.0, fm.horizontalAdvance(QLatin1Char('M')));
    const int columns = std::max(1, static_cast<int>(area.width() / charWidth));
    const int linesPerPage = std::max(1, static_cast<int>(area.height() / lineHeight));

    const QByteArray &text = buffer.text();
    const auto &runs = buffer.colorRuns();
    const std::vector<PrintLine> lines = wrapLines(buffer, columns);
    int row = 0;
    for (const PrintLine &line : lines) {
        if (row == linesPerPage) {
            printer.newPage();
            row = 0;
        }
        const double y = row * lineHeight + fm.ascent();
        qsizetype pos = line.start;
        const qsizetype end = line.start + line.length;
        std::size_t run = runs.empty() ? 0 : buffer.runAt(pos);
        // One piece per colour run, each at its own column.
        while (pos < end) {
            qsizetype pieceEnd = end;
            if (!runs.empty() && run + 1 < runs.size())
                pieceEnd = std::min(pieceEnd, runs[run + 1].start);
            painter.setPen(QColor(runs.empty() ? qRgb(0, 0, 0) : runs[run].color));
            painter.drawText(QPointF((pos - line.start) * charWidth, y),
                             codepage::toPrintable(text.constData() + pos, pieceEnd - pos));
            pos = pieceEnd;
            while (!runs.empty() && run + 1 < runs.size() && runs[run + 1].start <= pos)
                ++run;
        }
        ++row;
    }
    return painter.end();
}

void CDisplayPrinter::reportPrintFailure() const
{
    uiServices().beep();
    const QString target = m_printer->outputFileName().isEmpty() ? m_printer->printerName()
                                                                 : m_printer->outputFileName();
    uiServices().messageBox(tr("The display could not be printed to %1.").arg(target), QString(),
                            UiServices::Icon::Stop);
}

void CDisplayPrinter::OnFilePrint()
{
    QPrinter &p = printer();
    p.setDocName(m_docName);
    QPrintDialog dialog(&p, m_parent);
    dialog.setWindowTitle(tr("Print"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printBuffer(m_display->buffer(), p))
        reportPrintFailure();
}

void CDisplayPrinter::OnFilePrintPreview()
{
    QPrinter &p = printer();
    p.setDocName(m_docName);
    applyMargins(p);
    QPrintPreviewDialog preview(&p, m_parent);
    preview.setWindowTitle(tr("Print preview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [this](QPrinter *target) { printBuffer(m_display->buffer(), *target); });
    preview.exec();
}

void CDisplayPrinter::OnFilePrintSetup()
{
    QPrinter &p = printer();
    applyMargins(p);
    QPageSetupDialog dialog(&p, m_parent);
    dialog.setWindowTitle(tr("Printer setup"));
    dialog.exec();
}
