#include "config/fontnames.h"

const char *const foundryLabels[foundryCount] = {"fixed", "clean", "courier", "lucidasanstypewriter"};
const char *const weightLabels[weightCount] = {"bold", "normal"};
const char *const sizeLabels[sizeCount] = {"8", "10", "12", "14", "16/18", "16/24"};

namespace {

struct FoundryParts {
    const char *prefix;
    const char *weight[weightCount];
    const char *size[sizeCount];
};

const FoundryParts foundryParts[foundryCount] = {
    {"", {"bold", ""}, {"5x8", "6x10", "6x12", "7x14", "10x20", "12x24"}},
    {"-schumacher-clean-",
     {"bold-", "medium-"},
     {"r-normal--8-80-75-75-c-60-iso8859-1", "r-normal--10-100-75-75-c-80-iso8859-1",
      "r-normal--12-120-75-75-c-80-iso8859-1", "r-normal--14-140-75-75-c-80-iso8859-1",
      "r-normal--16-160-75-75-c-80-iso8859-1", "r-normal--16-160-75-75-c-80-iso8859-1"}},
    {"-adobe-courier-",
     {"bold-r-normal-", "medium-r-normal-"},
     {"-8-80-75-75-m-50-iso8859-1", "-10-100-75-75-m-60-iso8859-1", "-12-120-75-75-m-70-iso8859-1",
      "-14-140-75-75-m-90-iso8859-1", "-18-180-75-75-m-110-iso8859-1", "-24-240-75-75-m-150-iso8859-1"}},
    {"lucidasanstypewriter-", {"bold-", ""}, {"8", "10", "12", "14", "18", "24"}},
};

constexpr int fixedFoundry = 0;

} // namespace

std::string composeFontName(const FontChoice &choice)
{
    if (choice.foundry < 0 || choice.foundry >= foundryCount || choice.weight < 0 || choice.weight >= weightCount ||
        choice.size < 0 || choice.size >= sizeCount)
        return std::string();
    const FoundryParts &parts = foundryParts[choice.foundry];
    const std::string weight = parts.weight[choice.weight];
    const std::string size = parts.size[choice.size];
    if (choice.foundry == fixedFoundry)
        return size + weight;
    return parts.prefix + weight + size;
}
