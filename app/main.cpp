#include "app/application.h"

int main(int argc, char** argv) {
    std::vector<std::string> Arguments(argv + 1, argv + argc);
    return RunApplication(Arguments);
}
