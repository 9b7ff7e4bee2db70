#pragma once

// What an operation of the board has just changed, told before the window shows it.
enum class BoardChange
{
    Stop,        // the light stopped on a number
    EmptyStop,   // the light stopped with no free number left
    Card,        // a card drew a prize; the index is the stack
    Discard,     // "重新搖獎" threw away a pending stop
    SecondRound, // the second round began
    Correction,  // a right click changed a number; the index is the cell
    Closing,     // the closing picture takes over
    PrizeClosed  // the prize window has gone: the prize has been announced
};
