#include "config/configuration.h"

int main()
{
    readConfigurationFile();
    return 0;
}
