#include "model/Model.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    AppState state;
    StartupModel(state);
    return 0;
}
