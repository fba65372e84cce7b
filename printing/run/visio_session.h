#pragma once

#include <QString>
#include <memory>

#include "printing/engine/visio.h"

namespace pbp {

// The drawing engine during one print command; empty at every other time.
extern std::unique_ptr<visio::Application> g_oVisioApp;

// Creates the engine into g_oVisioApp when it is empty ("Visio.InvisibleApp" when hidden, else
// "Visio.Application"). True when g_oVisioApp is set afterwards; a failure gives no message,
// but its description goes into `problem` when given.
bool StartVisio(bool bHidden, QString* problem = nullptr);

// Ends the engine at the close of a print command: two yields to the event loop, Quit, empty
// g_oVisioApp, two more yields. A failing Quit is reported once; g_oVisioApp is emptied anyway.
void EndVisio();

}  // namespace pbp
