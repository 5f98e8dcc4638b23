#pragma once

#include <QList>
#include <QString>

class QWidget;

// The program's file dialogs, through one place so that a test can give the answer
// a user would have chosen. An empty answer means the user cancelled.
class FileDialog
{
public:
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &initial,
                                   const QString &filter, const QString &defaultSuffix);
    // `onTheirWay` are files the program is still writing: the dialog takes their
    // names though they are not there yet, and the caller waits for them.
    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &initial,
                                   const QString &filter, const QStringList &onTheirWay = {});

    // For tests: the next dialogs are not shown but answered with these, in order
    // (an empty text for a cancel). Each call records the initial name it was given.
    static void answerInstead(bool enabled);
    static void queueAnswer(const QString &path);
    static QStringList initialNames();
    // The files the last Open dialog was told are on their way.
    static QStringList onTheirWay() { return s_onTheirWay; }

private:
    static QString answer(const QString &initial);

    static bool s_answerInstead;
    static QStringList s_answers;
    static QStringList s_initialNames;
    static QStringList s_onTheirWay;
};
