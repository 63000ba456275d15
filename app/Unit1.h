#pragma once
#include "app/etat.h"
#include <QApplication>
#include <QMainWindow>

class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
};

class ApplicationKinemar : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receveur, QEvent *evenement) override;
};

extern TForm1 *Form1;
void creerFenetres();
