#include "app/Unit1.h"
TForm1 *Form1 = nullptr;
TForm1::TForm1(QWidget *parent) : QMainWindow(parent) {}
bool ApplicationKinemar::notify(QObject *r, QEvent *e) { return QApplication::notify(r, e); }
void creerFenetres() { Form1 = new TForm1; }
