#pragma once

#include "display/DisplaySearch.h"

#include <QPointer>
#include <QWidget>

class CDisplayWidget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// The bar under the display that finds text in it: typing finds the first
// match from the top of the view on, Enter the next, Shift+Enter the
// previous; every match in view is marked, the current one selected. Escape
// closes the bar. New text may arrive meanwhile: the current match is kept
// (it is the selection, which stays on its text).
class CFindBar final : public QWidget
{
    Q_OBJECT
public:
    explicit CFindBar(CDisplayWidget *display, QWidget *parent = nullptr);

    // Shows the bar with the focus in its field; a short selection of one
    // line becomes the text to find.
    void open();
    void close();
    void findNext();
    void findPrevious();

    QString text() const;
    void setText(const QString &text);
    // A match is selected in the display, and the bar is open.
    bool showsMatch() const;
    // What the bar says about the last search ("" when a match was found
    // without going round).
    QString message() const;
    bool notFound() const { return m_notFound; }
    // Said once new text arrives while a match keeps the view in place.
    void noteAutoScrollWaits();

signals:
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Step { FromHere, Next, Previous };
    void find(Step step);
    void showResult(bool found, bool wrapped, bool forward);
    void setMessage(const QString &text);

    CDisplayWidget *m_display;
    CDisplaySearch m_search;
    QLineEdit *m_edit;
    QToolButton *m_previous;
    QToolButton *m_next;
    QCheckBox *m_matchCase;
    QLabel *m_message;
    QPointer<QWidget> m_returnFocus; // where the focus was when the bar opened
    bool m_notFound = false;
};
