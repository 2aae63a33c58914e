#include "core/Application.hpp"

int main() {
    Application App;
    App.run();
    return 0;
}
