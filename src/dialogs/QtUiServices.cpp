#include "QtUiServices.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget> g_parent;

QMessageBox::Icon toQtIcon(UiServices::Icon icon)
{
    switch (icon) {
    case UiServices::Icon::Information:
        return QMessageBox::Information;
    case UiServices::Icon::Warning:
        return QMessageBox::Warning;
    case UiServices::Icon::Stop:
        return QMessageBox::Critical;
    case UiServices::Icon::Question:
        return QMessageBox::Question;
    case UiServices::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString boxTitle(const QString &title)
{
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

void prepareDialog(QFileDialog &fd, const UiServices::FileDialog &d)
{
    fd.setWindowTitle(d.title);
    fd.setNameFilter(qtFileFilter(d.filter));
    if (!d.directory.isEmpty())
        fd.setDirectory(d.directory);
    if (!d.defaultSuffix.isEmpty() && d.defaultSuffix != QLatin1String("*"))
        fd.setDefaultSuffix(d.defaultSuffix);
    if (!d.proposedName.isEmpty())
        fd.selectFile(d.proposedName);
}
} // namespace

void useQtUiServices()
{
    static QtUiServices qtServices;
    setDefaultUiServices(&qtServices);
}

void setUiParentWindow(QWidget *window)
{
    g_parent = window;
}

QString qtFileFilter(const QString &resourceFilter)
{
    const QStringList parts = resourceFilter.split(u'|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            if (p == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            // Linux file names are case-sensitive: accept both spellings.
            patterns << p;
            if (p.toLower() != p)
                patterns << p.toLower();
            else if (p.toUpper() != p)
                patterns << p.toUpper();
        }
        QString name = parts[i];
        const qsizetype paren = name.indexOf(u'(');
        if (paren > 0)
            name = name.left(paren).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(name, patterns.join(u' '));
    }
    return filters.join(QStringLiteral(";;"));
}

void QtUiServices::beep()
{
    QApplication::beep();
}

void QtUiServices::messageBox(const QString &text, const QString &title, Icon icon)
{
    QMessageBox box(toQtIcon(icon), boxTitle(title), text, QMessageBox::Ok, g_parent);
    box.exec();
}

UiServices::Answer QtUiServices::question(const QString &text, const QString &title,
                                          bool withCancel)
{
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel)
        buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, boxTitle(title), text, buttons, g_parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtUiServices::openFileName(const FileDialog &dialog)
{
    QFileDialog fd(g_parent);
    prepareDialog(fd, dialog);
    fd.setAcceptMode(QFileDialog::AcceptOpen);
    fd.setFileMode(QFileDialog::ExistingFile);
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return {};
    return fd.selectedFiles().constFirst();
}

QString QtUiServices::saveFileName(const FileDialog &dialog)
{
    QFileDialog fd(g_parent);
    prepareDialog(fd, dialog);
    fd.setAcceptMode(QFileDialog::AcceptSave);
    fd.setFileMode(QFileDialog::AnyFile);
    if (!dialog.confirmOverwrite)
        fd.setOption(QFileDialog::DontConfirmOverwrite);
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return {};
    return fd.selectedFiles().constFirst();
}
