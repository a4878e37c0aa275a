#include "app/Application.h"

int main(int argc, char** args) { return Application::main(argc, args); }
