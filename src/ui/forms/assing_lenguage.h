#pragma once

class QWidget;

// Translates a window in place through the global dictionary `dmIdioma`: its title and every
// caption, list entry and column header written as "<key>". Nothing happens while no
// dictionary is loaded, and a key the dictionary lacks keeps its "<key>" form on screen.
// Every window calls it from its creation handler with itself as the argument.
void AssingLenguage(QWidget* form);
