#include "UiTestEnvironment.h"

int main(int argc, char **argv)
{
    return UiTestEnvironment::runAll(argc, argv);
}
