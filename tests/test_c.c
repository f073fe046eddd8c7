/* SPDX-License-Identifier: MIT */
/* The C interface from C: overlapping copies, text through this program's own printf, puts
 * and putchar, and (without a sanitizer allocator) heap use and failing allocations. */
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

/* The case running, named with the record it starts from. */
static const char *current;
static int failures;
#define CHECK(cond) \
    ((cond) ? (void)0 : (void)(++failures, fprintf(stderr, "%s: %s (line %d)\n", current, #cond, __LINE__)))
static uint32_t fc, pc; /* PHY_FC position 3, PORT_CHANNEL 255: every case's record holds both */

/* While `heap_log` is set: " +N" taken, " -N" released, " +N:failed" the fail_at-th refused. */
static char *heap_log;
static int fail_at, allocations;
#ifdef IF_INDEX_VEC_TEST_MALLOC
extern void *__libc_malloc(size_t size);
extern void __libc_free(void *p);
static void *last;
static size_t last_size;

/* Appends sign, size and note to heap_log without stdio, which may allocate. */
static char *put_size(char *end, size_t n) {
    end = n >= 10 ? put_size(end, n / 10) : end;
    return *end = (char)('0' + n % 10), end + 1;
}
static void log_block(const char *sign, size_t size, const char *note) {
    strcpy(put_size(strchr(strcat(heap_log, sign), '\0'), size), note);
}

void *malloc(size_t size) {
    if (!heap_log)
        return __libc_malloc(size);
    last = ++allocations == fail_at ? NULL : __libc_malloc(size), last_size = size;
    log_block(" +", size, last ? "" : ":failed");
    return last;
}

void free(void *p) {
    if (heap_log && p)
        log_block(" -", p == last ? last_size : 0, "");
    __libc_free(p);
}
#define LAST_FAILING 4 /* the allocations of printf_dec, failed one at a time */
#else
#define LAST_FAILING 0
#endif

/* The decimal dump: each group's header, text and the size of the block holding the text. */
static const struct {
    const char *header, *ranges;
    int block;
} groups[] = {{"PHY_FC interfaces: ", "3", 4096}, {"PORT_CHANNEL interfaces: ", "255", 1024},
              {"ISCSI interfaces: ", "133", 4096}, {"FC-TUNNEL interfaces: ", "4095", 16384}};

/* While `seen` is set, printf, puts and putchar append there; else they write to stdout. */
static char *seen, kept[4096];
int printf(const char *format, ...) {
    va_list ap;
    int n;
    va_start(ap, format);
    n = seen ? vsprintf(strchr(seen, '\0'), format, ap) : vprintf(format, ap);
    va_end(ap);
    return n;
}
int puts(const char *s) { return seen ? (strcat(strcat(seen, s), "\n"), 1) : fprintf(stdout, "%s\n", s); }
int putchar(int c) { return seen ? (strncat(seen, &(char){(char)c}, 1), c & 0xff) : putc(c, stdout); }

/* What print(vec) writes to fd 1 (all via printf, puts, putchar), the fail-th allocation failing. */
static const char *stdout_text(void (*print)(const if_index_vector_t *), const if_index_vector_t *vec,
                               int fail, char *heap) {
    static char out[sizeof kept];
    FILE *tmp = tmpfile();
    int saved = dup(1);
    fflush(stdout);
    dup2(fileno(tmp), 1);
    heap[0] = '\0';
    fail_at = fail, allocations = 0, heap_log = heap;
    print(vec);
    heap_log = NULL;
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    rewind(tmp);
    out[fread(out, 1, sizeof out - 1, tmp)] = '\0';
    fclose(tmp);
    heap[0] = kept[0] = '\0', seen = kept, fail_at = fail, allocations = 0, heap_log = heap;
    print(vec);
    heap_log = seen = NULL;
    if (strcmp(kept, out) != 0)
        ++failures, fprintf(stderr, "%s: kept by printf, puts and putchar:\n%s\nwritten:\n%s\n", current, kept, out);
    return out;
}

/* Overlapping copies either way round, touching, or identical: each ends as its source was. */
static void overlapping_copies(if_index_vector_t *v) {
    static if_index_vector_t room[3];
    unsigned char *base = (unsigned char *)room;
    const size_t shifts[] = {4, sizeof *v - 4, sizeof *v, 0};
    size_t i;
    for (i = 0; i < sizeof shifts / sizeof shifts[0]; ++i) {
        if_index_vector_t *low = (if_index_vector_t *)(void *)base;
        if_index_vector_t *high = (if_index_vector_t *)(void *)(base + shifts[i]);
        memset(room, 0xA5, sizeof room);
        if_index_vector_copy(low, v);
        if_index_vector_copy(high, low);
        CHECK(memcmp(high, v, sizeof *v) == 0);
        memset(room, 0x5A, sizeof room);
        if_index_vector_copy(high, v);
        if_index_vector_copy(low, high);
        CHECK(memcmp(low, v, sizeof *v) == 0);
    }
}

/* Each group's text in a block of its size, freed before the next; one failing costs only its group. */
static void printing(if_index_vector_t *v) {
    uint32_t ifx;
    char log[256];
    int fail, g;
    CHECK(!if_index_iscsi_port_init(&ifx, 2, 5) && !if_index_vector_add(v, ifx));
    CHECK(!if_index_fcmpls_tnnl_init(&ifx, 4095) && !if_index_vector_add(v, ifx));
    for (fail = 0; fail <= LAST_FAILING; ++fail) {
        char text[256] = "No. of interfaces: 4\n", use[256] = "";
        const char *got;
        for (g = 0; g < 4; ++g) {
            sprintf(text + strlen(text), "%s%s\n", groups[g].header, g + 1 == fail ? "" : groups[g].ranges);
            sprintf(use + strlen(use), g + 1 == fail ? " +%d:failed" : " +%d -%d", groups[g].block, groups[g].block);
        }
        got = stdout_text(if_index_vector_printf_dec, v, fail, log);
        if (strcmp(got, text) != 0 || (LAST_FAILING && strcmp(log, use) != 0))
            ++failures, fprintf(stderr, "%s: printf_dec, allocation %d failing: got\n%s(heap%s)\nexpected\n"
                                        "%s(heap%s)\n", current, fail, got, log, text, use);
    }
    CHECK(*stdout_text(if_index_vector_printf, v, 0, log) && *stdout_text(if_index_vector_printf_hex, v, 0, log));
#ifdef IF_INDEX_VEC_TEST_MALLOC
    fail_at = 1, allocations = 0, log[0] = '\0', heap_log = log;
    CHECK(if_index_vector_new() == NULL);
    heap_log = NULL;
#endif
}

int main(void) {
    static const struct {
        const char *name;
        void (*run)(if_index_vector_t *v);
    } cases[] = {{"overlapping copies of {PHY_FC 3, PORT_CHANNEL 255}", overlapping_copies},
                 {"prints and new of {PHY_FC 3, PORT_CHANNEL 255, ISCSI 133, FC_TUNNEL 4095}", printing}};
    size_t i;
    setvbuf(stdout, NULL, _IOFBF, BUFSIZ); /* stdout gets its buffer now, not while malloc fails */
    if_index_phy_fc_port_init(&fc, 0, 3, 0);
    if_index_port_channel_init(&pc, 255);
    for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        if_index_vector_t *v = if_index_vector_new();
        current = cases[i].name;
        CHECK(v != NULL && !if_index_vector_add(v, fc) && !if_index_vector_add(v, pc));
        if (v != NULL)
            cases[i].run(v);
        if_index_vector_delete(v);
    }
    if_index_vector_delete(NULL);
    return failures != 0;
}
