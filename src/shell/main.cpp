#include "StartUp.h"
#include "TellmontApplication.h"

int main(int argc, char **argv)
{
    TellmontApplication app(argc, argv);
    return RunTellmont();
}
