/* Two mistakes for tsl's error navigation: compile, then step through the messages. */
#include <stdio.h>

int main(void)
{
    int total = 0;
    for (int i = 0; i < 10; i++) {
        total += i
    }
    double *average = total / 10.0;
    printf("total %d, average %f\n", total, *average);
    return 0;
}
