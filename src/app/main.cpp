// NQ501 entry point.
#include "app/CApplication.h"

int main(int argc, char** argv)
{
    return nq::app::CApplication::Run(argc, argv);
}
