// Ferio: the fare board and its control panel. The board's start-up opens everything else.
#include "Form1.h"
#include "PanelServices.h"
#include "frmCtl.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("FerioVer4"));
    QApplication::setQuitOnLastWindowClosed(false); // the program ends from the panel's exit only

    OptionInfo options;
    PanelServices services;
    Form1 board(options);
    frmCtl panel(board, options, services);
    // Applying the options: the ticket numbers, then the current backlight state.
    const Form1::StartupHooks hooks{
        [&] {
            board.SeirikenNumSet(options.SeiriNumStyle, options.SeiriNumZeroPad);
            panel.Option4_Click(0);
        },
        {}};
    board.Form_Load(panel, hooks);
    board.show();
    return app.exec();
}
