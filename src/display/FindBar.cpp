#include "FindBar.h"

#include "display/DisplayWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

CFindBar::CFindBar(CDisplayWidget *display, QWidget *parent)
    : QWidget(parent)
    , m_display(display)
    , m_edit(new QLineEdit(this))
    , m_previous(new QToolButton(this))
    , m_next(new QToolButton(this))
    , m_matchCase(new QCheckBox(tr("Match case"), this))
    , m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("findBar"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto *label = new QLabel(tr("Find:"), this);
    label->setBuddy(m_edit);
    m_edit->setObjectName(QStringLiteral("findText"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setMinimumWidth(m_edit->fontMetrics().averageCharWidth() * 24);
    m_edit->setToolTip(tr("Enter: next match, Shift+Enter: previous match, Escape: close"));
    m_edit->installEventFilter(this);
    m_previous->setObjectName(QStringLiteral("findPrevious"));
    m_previous->setText(tr("Previous"));
    m_previous->setToolTip(tr("Previous match (Shift+Enter)"));
    m_previous->setArrowType(Qt::UpArrow);
    m_previous->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_next->setObjectName(QStringLiteral("findNext"));
    m_next->setText(tr("Next"));
    m_next->setToolTip(tr("Next match (Enter)"));
    m_next->setArrowType(Qt::DownArrow);
    m_next->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_matchCase->setObjectName(QStringLiteral("findMatchCase"));
    m_message->setObjectName(QStringLiteral("findMessage"));
    // A long message must not widen the window; its tip shows it whole.
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *close = new QToolButton(this);
    close->setObjectName(QStringLiteral("findClose"));
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setAutoRaise(true);
    close->setToolTip(tr("Close the find bar (Escape)"));

    layout->addWidget(label);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_previous);
    layout->addWidget(m_next);
    layout->addWidget(m_matchCase);
    layout->addWidget(m_message, 1);
    layout->addWidget(close);

    connect(m_edit, &QLineEdit::textChanged, this, [this] { find(Step::FromHere); });
    connect(m_matchCase, &QCheckBox::toggled, this, [this] { find(Step::FromHere); });
    connect(m_previous, &QToolButton::clicked, this, &CFindBar::findPrevious);
    connect(m_next, &QToolButton::clicked, this, &CFindBar::findNext);
    connect(close, &QToolButton::clicked, this, &CFindBar::close);
    hide();
}

QString CFindBar::text() const
{
    return m_edit->text();
}

void CFindBar::setText(const QString &text)
{
    m_edit->setText(text);
}

QString CFindBar::message() const
{
    return m_message->text();
}

bool CFindBar::showsMatch() const
{
    return isVisible() && !m_search.isEmpty() && !m_notFound && m_display->hasSelection();
}

void CFindBar::open()
{
    if (!isVisible()) {
        QWidget *focus = QApplication::focusWidget();
        m_returnFocus = focus && focus != m_edit ? focus : nullptr;
    }
    // A short selection within one line is what the user wants to find.
    const QString selected = m_display->selectedText();
    if (!selected.isEmpty() && selected.size() <= 200 && !selected.contains(u'\n')
        && selected.compare(m_edit->text(), Qt::CaseInsensitive) != 0)
        m_edit->setText(selected);
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
    if (!m_edit->text().isEmpty())
        m_display->setHighlight(m_search);
}

void CFindBar::close()
{
    if (!isVisible())
        return;
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    hide();
    m_display->clearHighlight();
    m_message->clear();
    if (hadFocus) {
        QWidget *back = m_returnFocus && m_returnFocus->isVisible() && m_returnFocus->isEnabled()
                            ? m_returnFocus.data()
                            : m_display;
        back->setFocus(Qt::OtherFocusReason);
    }
    emit closed();
}

void CFindBar::findNext()
{
    find(Step::Next);
}

void CFindBar::findPrevious()
{
    find(Step::Previous);
}

void CFindBar::find(Step step)
{
    m_search.setPattern(m_edit->text(), m_matchCase->isChecked());
    m_display->setHighlight(m_search);
    if (m_search.isEmpty()) {
        showResult(true, false, true);
        return;
    }
    const QByteArray &text = m_display->buffer().text();
    // Without a current match the search starts where the user looks.
    const CDisplayBuffer &buffer = m_display->buffer();
    const bool current = m_display->hasSelection();
    const qsizetype top = buffer.lineStart(m_display->firstVisibleLine());
    const qsizetype here = current ? m_display->selectionStart() : top;
    CDisplaySearch::Match match;
    switch (step) {
    case Step::FromHere:
        match = m_search.next(text, here);
        break;
    case Step::Next:
        match = m_search.next(text, current ? here + 1 : top);
        break;
    case Step::Previous:
        match = m_search.previous(text, current
                                            ? here
                                            : buffer.lineStart(m_display->firstVisibleLine()
                                                               + m_display->visibleLineCapacity()));
        break;
    }
    if (match.found()) {
        m_display->select(match.start, match.start + m_search.length());
        m_display->ensureVisible(match.start, match.start + m_search.length());
    }
    showResult(match.found(), match.wrapped, step != Step::Previous);
}

void CFindBar::showResult(bool found, bool wrapped, bool forward)
{
    m_notFound = !found;
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, found ? QApplication::palette(m_edit).color(QPalette::Base)
                                       : QColor(0xff, 0xd6, 0xd6));
    m_edit->setPalette(pal);
    if (!found)
        setMessage(tr("Not found"));
    else if (wrapped)
        setMessage(forward ? tr("Continued from the top") : tr("Continued from the bottom"));
    else
        setMessage(QString());
}

void CFindBar::setMessage(const QString &text)
{
    m_message->setText(text);
    m_message->setToolTip(text);
}

void CFindBar::noteAutoScrollWaits()
{
    setMessage(tr("Auto-scroll waits while a match is shown"));
}

bool CFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier)
                findPrevious();
            else
                findNext();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
