/* CHECK for the C test programs: reports a failed condition with its place
 * and counts it; main returns CHECK_RESULT(). */
#ifndef IFV_TESTS_CHECK_H
#define IFV_TESTS_CHECK_H

#include <stdio.h>

static int check_failures;

#define CHECK(cond)                                                            \
    do {                                                                       \
        if (!(cond)) {                                                         \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond); \
            ++check_failures;                                                  \
        }                                                                      \
    } while (0)

#define CHECK_RESULT() (printf("%d failed\n", check_failures), check_failures != 0)

#endif
