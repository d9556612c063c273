#pragma once

#include "display/DisplaySettings.h"

#include <QWidget>

class CDisplayModel;
class CDisplayWidget;
class CFindBar;
class QAction;

// The terminal display on screen: paints the display model's text, keeps the
// newest line in view while auto-scroll is on, and holds the find bar.
class CRuKTerminalView final : public QWidget
{
    Q_OBJECT
public:
    CRuKTerminalView(CDisplayModel &model, const DisplaySettings &settings,
                     QWidget *parent = nullptr);
    ~CRuKTerminalView() override;

    CDisplayModel &model() const { return m_model; }
    CDisplayWidget *widget() const { return m_display; }
    CFindBar *findBar() const { return m_pFindBar; }
    // Ctrl+F: opens the find bar under the display.
    QAction *findAction() const { return m_pFindAction; }
    int visibleLines() const { return m_nVisibleLines; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void keepUsableWhenSmall();
    void measureVisibleLines();
    // With auto-scroll on, brings the last line into view, whole; not while
    // the find bar shows a match, which would be scrolled away from.
    // `fillView`: a view that grew shows more of the text above instead of
    // empty room below it.
    void followEnd(bool fillView = false);

    CDisplayModel &m_model;
    const DisplaySettings &m_settings;
    CDisplayWidget *m_display;
    CFindBar *m_pFindBar;
    QAction *m_pFindAction;
    int m_nVisibleLines = 10;
};
