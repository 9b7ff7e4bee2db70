#pragma once

#include <QString>

class Stage;
class SingleInstance;

// What ties the night's windows to the running program; main() and the tests share it.
namespace Program {
// 結束 and an accepted close box end the program at once, and a later copy's start
// brings the board forward.
void wire(Stage &stage, SingleInstance &instance);
// Takes the one-copy lock, or tells the operator why this copy gives way: another copy
// runs, or no lock can be made. False when this copy must end.
bool claim(SingleInstance &instance);
// A later copy tells the operator it gives way to the one already running.
void refuseSecondCopy();
// Qt's own texts (standard buttons, the file dialogs) in Traditional Chinese: from the
// translations folder beside the program, else from Qt's. Gives the file loaded, or
// nothing when neither has it and the texts stay English.
QString installQtTranslation(const QString &programDir);
} // namespace Program
