/* A first program for tsl: press the gear to compile it, then >R to run it. */
#include <stdio.h>

static int square(int n)
{
    return n * n;
}

int main(void)
{
    for (int i = 1; i <= 5; i++)
        printf("%d squared is %d\n", i, square(i));
    return 0;
}
