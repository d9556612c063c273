#pragma once

#include <QObject>
#include <QPrinter>

#include <memory>
#include <vector>

class CDisplayBuffer;
class CDisplayWidget;
class QWidget;

// Prints the display text: monospace, in the display's colours, page after
// page within margins of 750 twips (0.52 in) on every side. Lines longer than
// the page is wide continue on the next printed line. Print, print preview
// and printer setup share one printer, so the setup holds for the run.
class CDisplayPrinter final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMarginTwips = 750;

    struct PrintLine
    {
        qsizetype start;  // offset in the buffer's text
        qsizetype length; // characters, without the line break
    };

    CDisplayPrinter(CDisplayWidget *display, QWidget *dialogParent);
    ~CDisplayPrinter() override;

    // Renders `buffer` onto `printer`; false when the printer cannot be
    // painted on. `printer` gets the margins first.
    static bool printBuffer(const CDisplayBuffer &buffer, QPrinter &printer);
    // The printed lines when at most `columns` characters fit a line.
    static std::vector<PrintLine> wrapLines(const CDisplayBuffer &buffer, int columns);
    static void applyMargins(QPrinter &printer);

    void setDocumentName(const QString &name) { m_docName = name; }
    QPrinter &printer();

    // The commands, with their dialogs.
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFilePrintSetup();

private:
    void reportPrintFailure() const;

    CDisplayWidget *m_display;
    QWidget *m_parent;
    // Made at the first use: looking up printers can take a moment.
    std::unique_ptr<QPrinter> m_printer;
    QString m_docName;
};
