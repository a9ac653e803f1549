// The program's entry point: the one application object runs.

#include "plovik_bridge_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    CPlovik_bridgeApp theApp;
    return theApp.Run(instance, commandLine);
}
