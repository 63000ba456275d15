#include "app/Unit1.h"

int main(int argc, char *argv[])
{
    ApplicationKinemar application(argc, argv);
    creerFenetres();
    Form1->afficherAuDemarrage();
    return application.exec();
}
