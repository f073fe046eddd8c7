/* The library when malloc fails.  This program supplies its own malloc
 * family on top of glibc's, and fails every allocation while `failing` is
 * set; the library's allocations bind to it like everyone else's.  Built
 * only without sanitizers, which bring their own allocator. */
#include <if_index_codec/if_index_codec.h>
#include <if_index_vec/if_index_vector.h>

#include <stdio.h>
#include <string.h>
#include <unistd.h>

extern void *__libc_malloc(size_t size);
extern void *__libc_calloc(size_t n, size_t size);
extern void *__libc_realloc(void *p, size_t size);
extern void __libc_free(void *p);

static int failing;

void *malloc(size_t size) { return failing ? NULL : __libc_malloc(size); }
void *calloc(size_t n, size_t size) { return failing ? NULL : __libc_calloc(n, size); }
void *realloc(void *p, size_t size) { return failing ? NULL : __libc_realloc(p, size); }
void free(void *p) { __libc_free(p); }

#include "check.h"

/* Runs if_index_vector_printf_dec(vec) with fd 1 on a temporary file, with
 * allocations failing or not, and leaves the text in out. */
static void dec_text(const if_index_vector_t *vec, int fail, char *out, size_t size) {
    FILE *tmp = tmpfile();
    int saved;
    size_t n;
    CHECK(tmp != NULL);
    if (tmp == NULL)
        return;
    fflush(stdout);
    saved = dup(1);
    dup2(fileno(tmp), 1);
    failing = fail;
    if_index_vector_printf_dec(vec);
    fflush(stdout);
    failing = 0;
    dup2(saved, 1);
    close(saved);
    rewind(tmp);
    n = fread(out, 1, size - 1, tmp);
    out[n] = '\0';
    fclose(tmp);
}

int main(void) {
    if_index_vector_t vec;
    uint32_t fc, tunnel;
    char text[256];

    /* stdout gets its buffer now, not while allocations fail */
    setvbuf(stdout, NULL, _IOFBF, BUFSIZ);
    printf("allocation failures\n");

    failing = 1;
    CHECK(if_index_vector_new() == NULL);
    failing = 0;

    if_index_vector_init(&vec);
    if_index_phy_fc_port_init(&fc, 0, 3, 0);
    if_index_fcmpls_tnnl_init(&tunnel, 4095);
    if_index_vector_add(&vec, fc);
    if_index_vector_add(&vec, tunnel);

    dec_text(&vec, 0, text, sizeof text);
    CHECK(strcmp(text, "No. of interfaces: 2\n"
                       "PHY_FC interfaces: 3\n"
                       "PORT_CHANNEL interfaces: \n"
                       "ISCSI interfaces: \n"
                       "FC-TUNNEL interfaces: 4095\n") == 0);
    /* Without a buffer each line keeps its header and loses its text. */
    dec_text(&vec, 1, text, sizeof text);
    CHECK(strcmp(text, "No. of interfaces: 2\n"
                       "PHY_FC interfaces: \n"
                       "PORT_CHANNEL interfaces: \n"
                       "ISCSI interfaces: \n"
                       "FC-TUNNEL interfaces: \n") == 0);

    return CHECK_RESULT();
}
