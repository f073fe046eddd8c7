# SPDX-License-Identifier: MIT
"""gdb's view of libif_index_vec's records.

An if_index_vector_t (a record, a pointer to one, or one inside another
value) prints as a summary with the members counted per type, then its
fields: the count, the set positions of each bitmap as the decimal dump's
range text, and the single slot in hexadecimal:

    if_index_vector_t of 9 members (phy_fc 5, port_channel 1, iscsi 1,
    fc_tunnel 1, single 1) = {num_if = 9, phy_fc = "0-3,64",
    port_channel = "7", iscsi = "133", fc_tunnel = "4095",
    single_if_index = 0x6000001}

A bitmap alone (vec.phy_fc) prints as its range text.  Every field is a
gdb value, so gdb/MI (-var-list-children) and the IDEs built on it show the
same texts: num_if is the record's own field (print/x applies), a bitmap is
the record's own bitmap, printed by the bitmap printer, and the texts are
values of a char array type that only this module makes (see _text).

A record is shown as it is, never "repaired".  What disagrees comes first,
as a child named "complaint" in angle brackets, so that MI shows it too: a
num_if other than the set positions plus the occupied slot, a byte count
other than its bitmap's size, each number also in hexadecimal.  Memory
that cannot be read prints as <unreadable: gdb's reason>.  The printers
raise nothing.

`print elements` is the one in force, `print -elements N` included: a range
text stops after that many characters with "...", as gdb's strings do.
gdb stops a printer's children after that many too, so below the number of
fields the fields are written on the summary line instead of being dropped.

The printers read memory only and never call into the program: they run at
every stop in IDEs and in backtraces, where an inferior call would resume
the program's threads.  An if_index's type is the codec's to tell, so the
printers cannot judge the single slot's; `info if-index-vector` asks the
codec when there is a live process, and says "type not checked" otherwise.
Counts and the slot are read through gdb's types, in the target's byte
order; bitmaps are read as bytes, and position p is bit 7 - p % 8 of byte
p / 8 whatever the byte order, so a ppc32 core reads right on any host.

Loading: gdb runs libif_index_vec.so.<version>-gdb.py (installed under
<datadir>/gdb/auto-load) when it loads the library; that file imports this
module and calls register().  `source` this file to register the printers
and the command for every program instead: that is the way with `set
sysroot`, where gdb looks for the loader under the sysroot's path and finds
none.
"""

import re

import gdb
import gdb.printing

# The record's count and single slot, by name.  Its bitmaps are the fields
# of a byte count and bits, found in the record's type in the record's order,
# which is the library's canonical order; their sizes are their bits' sizes.
# The single slot holds type code 6.
COUNT = "num_if"
SINGLE = "single_if_index"
SINGLE_TYPE = 6

_RECORD_NAMES = ("if_index_vector_t", "if_index_vector")
_BITMAP_NAME = re.compile(r"^if_index_bitmap_[0-9]+_t$")

# gdb's Python cannot make a type, so a text is a char array indexed from
# one of these bounds, which no C object has; the lookup knows a text by
# its low bound.  Quoted texts print as strings, under `print elements`.
_QUOTED_TEXT = 0x7FFE0000
_PLAIN_TEXT = 0x7FFF0000


def _names(gdb_type):
    """The names a type goes by: each typedef down the chain, then the struct tag."""
    names = []
    t = gdb_type.unqualified()
    while True:
        if t.name:
            names.append(t.name)
        if t.code != gdb.TYPE_CODE_TYPEDEF:
            break
        t = t.target().unqualified()
    if t.tag:
        names.append(t.tag)
    return names


def _is_record(gdb_type):
    return any(n in _RECORD_NAMES for n in _names(gdb_type))


def _is_bitmap(gdb_type):
    return any(_BITMAP_NAME.match(n) for n in _names(gdb_type))


def _fields(record_type):
    """The record's fields, in order: the count, the bitmaps, the single slot."""
    return record_type.strip_typedefs().fields()


def _bitmap_names(record_type):
    """The record's bitmap fields: those of a byte count and bits."""
    def shape(t):
        t = t.strip_typedefs()
        return [g.name for g in t.fields()] if t.code == gdb.TYPE_CODE_STRUCT else None
    return [f.name for f in _fields(record_type) if shape(f.type) == ["num_bytes", "bits"]]


def _text_base(gdb_type):
    t = gdb_type.strip_typedefs()
    if t.code != gdb.TYPE_CODE_ARRAY:
        return None
    low = t.range()[0]
    return low if low in (_QUOTED_TEXT, _PLAIN_TEXT) else None


def _text(text, quoted):
    """A gdb value holding text (terminated, so that it is never empty)."""
    data = text.encode() + b"\0"
    low = _QUOTED_TEXT if quoted else _PLAIN_TEXT
    return gdb.Value(data, gdb.lookup_type("char").array(low, low + len(data) - 1))


def limit():
    """The `print elements` in force (that of `print -elements N` included), None for unlimited."""
    if hasattr(gdb, "print_options"):
        elements = gdb.print_options()["max_elements"]
    else:  # before gdb 13: the setting only
        elements = gdb.parameter("print elements")
    return elements if elements and elements < 0xFFFFFFFF else None


def quote(text, most=None):
    """text as gdb prints a string: in quotes, cut after `most` characters with "..."."""
    if most is not None and len(text) > most:
        return '"%s"...' % text[:most]
    return '"%s"' % text


def number(n):
    return "%d (0x%x)" % (n, n)


def members(n):
    return "%d member%s" % (n, "" if n == 1 else "s")


def range_text(runs):
    """Runs of set positions as the decimal dump prints them: 0-2,5,7-8."""
    return ",".join("%d" % a if a == b else "%d-%d" % (a, b) for a, b in runs)


class Bitmap:
    """One length-prefixed bitmap: its stored byte count and its bytes."""

    def __init__(self, name, value):
        bits = value["bits"]
        self.name = name
        self.size = bits.type.strip_typedefs().sizeof  # bytes, uint8_t each
        self.num_bytes = int(value["num_bytes"])
        # latin-1 maps each byte to the character of the same number: the
        # bytes in one call, from the value's contents, without a read each.
        self.data = bits.string(encoding="latin-1", length=self.size).encode("latin-1")
        self.count = sum(bin(b).count("1") for b in self.data)

    def runs(self):
        # Read as one big-endian number, the most significant bit of the
        # first byte is the first digit: position 0.
        digits = format(int.from_bytes(self.data, "big"), "0%db" % (8 * self.size))
        return [(m.start(), m.end() - 1) for m in re.finditer("1+", digits)]

    def text(self):
        return range_text(self.runs())

    def complaint(self):
        if self.num_bytes == self.size:
            return None
        return "num_bytes is %s, not %d" % (number(self.num_bytes), self.size)


class Record:
    """A record as stored, read in one piece: count, bitmaps and slot."""

    def __init__(self, value):
        # Fields of a fetched value come from its copy: one read of the whole
        # record, and a failed read is found here, before gdb prints anything.
        value.fetch_lazy()
        self.value = value
        self.num_if = int(value[COUNT])
        self.bitmaps = [Bitmap(name, value[name]) for name in _bitmap_names(value.type)]
        self.single = int(value[SINGLE])
        self.stored = sum(b.count for b in self.bitmaps) + (self.single != 0)

    def counts(self):
        """Members per type, as the summary gives them."""
        return ", ".join(["%s %d" % (b.name, b.count) for b in self.bitmaps] + ["single %d" % (self.single != 0)])

    def complaints(self):
        found = [b.name + "." + b.complaint() for b in self.bitmaps if b.complaint()]
        if self.num_if != self.stored:
            found.insert(0, "num_if is %s, counted %d" % (number(self.num_if), self.stored))
        return found


class Text:
    """A text made by _text: a string in quotes, or as it is."""

    def __init__(self, value):
        self.text = value.string(length=value.type.sizeof - 1)
        self.quoted = _text_base(value.type) == _QUOTED_TEXT

    def to_string(self):
        return self.text

    def display_hint(self):
        return "string" if self.quoted else None


class Message:
    """A value that could not be read: one text, no children."""

    def __init__(self, text):
        self.text = text

    def to_string(self):
        return self.text


class VectorPrinter:
    """if_index_vector_t: the summary, then the complaint (if any) and the fields."""

    def __init__(self, value):
        self.record = Record(value)

    def _fields(self):
        r = self.record
        if r.num_if != r.stored:  # a bitmap's own complaint is on its field
            yield "complaint", "<num_if is %s, counted %d>" % (number(r.num_if), r.stored), None
        yield COUNT, None, r.value[COUNT]
        for b in r.bitmaps:
            yield b.name, None, r.value[b.name]
        yield SINGLE, "0x%x" % r.single, None

    def _folded(self):
        most = limit()
        fields = len(_fields(self.record.value.type))
        return most is not None and most < fields + (self.record.num_if != self.record.stored)

    def to_string(self):
        r = self.record
        summary = "if_index_vector_t of %s (%s)" % (members(r.stored), r.counts())
        if not self._folded():
            return summary
        most = limit()
        items = []
        for name, text, _ in self._fields():
            if text is None:
                bitmap = next((b for b in r.bitmaps if b.name == name), None)
                text = BitmapPrinter(bitmap).text(most) if bitmap else "%d" % r.num_if
            items.append("%s = %s" % (name, text))
        return "%s = {%s}" % (summary, ", ".join(items))

    def children(self):
        if self._folded():
            return
        for name, text, value in self._fields():
            yield name, value if text is None else _text(text, quoted=False)


class PointerPrinter:
    """if_index_vector_t *: the address, then the record it points to."""

    def __init__(self, value, record):
        self.value = value
        self.record = record

    def to_string(self):
        text = "(%s)" % self.value.type
        if gdb.parameter("print address"):
            text += " 0x%x" % int(self.value)
        return text + " " + self.record.to_string()

    def children(self):
        return self.record.children() if hasattr(self.record, "children") else iter(())


class BitmapPrinter:
    """if_index_bitmap_*_t: its range text, after its complaint if it has one."""

    def __init__(self, bitmap):
        self.bitmap = bitmap

    def text(self, most):
        """The bitmap as one line, its range text cut after `most` characters."""
        found = self.bitmap.complaint()
        shown = quote(self.bitmap.text(), most)
        return "<%s> %s" % (found, shown) if found else shown

    def to_string(self):
        if self.bitmap.complaint():
            return self.text(limit())
        return _text(self.bitmap.text(), quoted=True)  # gdb applies the limit


def _record_printer(value):
    try:
        return VectorPrinter(value)
    except gdb.error as error:  # gdb.MemoryError included
        return Message("<unreadable: %s>" % error)


class Printers(gdb.printing.PrettyPrinter):
    """The lookup: records, pointers to records and bitmaps; each can be disabled."""

    def __init__(self):
        super().__init__("if_index_vec", [gdb.printing.SubPrettyPrinter(n) for n in
                                          ("if_index_vector_t", "if_index_vector_t *", "if_index_bitmap")])

    def _enabled(self, index):
        return self.enabled and self.subprinters[index].enabled

    def __call__(self, value):
        try:
            t = value.type
            if _text_base(t) is not None:
                return Text(value)
            if self._enabled(0) and _is_record(t):
                return _record_printer(value)
            stripped = t.strip_typedefs()
            if (self._enabled(1) and stripped.code == gdb.TYPE_CODE_PTR and _is_record(stripped.target())
                    and int(value) != 0):
                return PointerPrinter(value, _record_printer(value.dereference()))
            if self._enabled(2) and _is_bitmap(t):
                value.fetch_lazy()
                return BitmapPrinter(Bitmap(None, value))
        except gdb.error as error:
            return Message("<unreadable: %s>" % error)
        return None


def _live():
    """Whether the program can be called: a process, not a core file."""
    inferior = gdb.selected_inferior()
    connection = getattr(inferior, "connection", None)
    return inferior.pid != 0 and (connection is None or connection.type != "core")


class InfoCommand(gdb.Command):
    """Shows what an if_index_vector_t holds, and where its count disagrees.

Usage: info if-index-vector [-names] EXPRESSION
EXPRESSION is a record or a pointer to one.  The record is read in one
piece and decoded here: the members counted per type, each bitmap's set
positions as the decimal dump's range text, and the single slot.  What
disagrees comes first: a num_if other than what is stored (the library's
walks and print functions trust num_if), a byte count other than its
bitmap's size.  In a live process the single slot's type is asked of the
codec (if_index_get_type); on a core file it is "not checked".

-names lists the stored members by name, in the library's order, through
the library's walk and the codec's sprintf_if_index on a copy of the record
whose num_if is the counted one: two calls into the program per member, so
at most `print elements` members are named.  It needs a live process."""

    NAME_BUFFER = 256  # room for any name, as the library's own listing has

    def __init__(self):
        super().__init__("info if-index-vector", gdb.COMMAND_DATA, gdb.COMPLETE_EXPRESSION)

    def invoke(self, argument, from_tty):
        names = False
        argument = argument.strip()
        if argument == "-names" or argument.startswith("-names "):
            names, argument = True, argument[len("-names"):].strip()
        if not argument:
            raise gdb.GdbError("usage: info if-index-vector [-names] EXPRESSION")
        try:
            self._show(argument, names)
        except gdb.GdbError:
            raise
        except gdb.error as error:  # no such symbol, unreadable memory, ...
            raise gdb.GdbError(str(error)) from None

    @staticmethod
    def _record(argument):
        value = gdb.parse_and_eval(argument)
        if value.type.strip_typedefs().code == gdb.TYPE_CODE_PTR:
            value = value.dereference()
        if not _is_record(value.type):
            raise gdb.GdbError("%s is not an if_index_vector_t or a pointer to one" % argument)
        return value

    def _show(self, argument, names):
        if names and not _live():
            raise gdb.GdbError("-names calls into the program: it needs a live process")
        value = self._record(argument)
        r = Record(value)
        if r.num_if != r.stored:
            seen = " and see none of them" if r.num_if == 0 else ""
            gdb.write("num_if is %s, but the record holds %s: the library's walks and print functions"
                      " trust num_if%s\n" % (number(r.num_if), members(r.stored), seen))
        for b in r.bitmaps:
            if b.complaint():
                gdb.write("%s.%s\n" % (b.name, b.complaint()))
        most = limit()
        gdb.write("%s: %s\n" % (members(r.stored), r.counts()))
        for b in r.bitmaps:
            text = b.text() or "none"
            shown = text if most is None or len(text) <= most else text[:most] + "..."
            gdb.write("%-16s%s\n" % (b.name, shown))
        gdb.write("%-16s%s\n" % (SINGLE, self._single(r.single)))
        if names:
            self._names(value, r, most)

    def _single(self, single):
        if single == 0:
            return "0 (empty)"
        if not _live():
            return "0x%08x, type not checked (no live process to ask the codec)" % single
        block = self._malloc(24)
        try:
            gdb.selected_inferior().write_memory(block, b"\xff")  # no type, should the codec write none
            status = int(gdb.parse_and_eval("((unsigned int (*)(unsigned int, void *)) if_index_get_type)"
                                            "(%d, (void *) %d)" % (single, block)))
            code = gdb.selected_inferior().read_memory(block, 1).tobytes()[0]
        finally:
            self._free(block)
        if status != 0:
            return "0x%08x <the codec does not classify it: status %d>" % (single, status)
        if code != SINGLE_TYPE:
            return "0x%08x <type %d, not %d>" % (single, code, SINGLE_TYPE)
        return "0x%08x, type %d" % (single, code)

    @staticmethod
    def _malloc(size):
        block = int(gdb.parse_and_eval("(unsigned long) malloc(%d)" % size))
        if block == 0:
            raise gdb.GdbError("malloc failed in the program")
        return block

    @staticmethod
    def _free(block):
        gdb.parse_and_eval("(void) free((void *) %d)" % block)

    def _names(self, value, r, most):
        inferior = gdb.selected_inferior()
        if value.address is None:
            raise gdb.GdbError("-names walks a copy of the record: it must be in the program's memory")
        in_bitmaps = r.stored - (r.single != 0)
        named = r.stored if most is None else min(r.stored, most)
        size = value.type.sizeof
        count = next(f for f in _fields(value.type) if f.name == COUNT)
        block = self._malloc(size + 4 + self.NAME_BUFFER)
        try:
            # A copy whose num_if is the counted one, so that the walk hands
            # out what is stored; the walk's members are the bitmaps', and
            # the single slot is named from the record, once.
            copy, cursor, name = block, block + size, block + size + 4
            inferior.write_memory(copy, inferior.read_memory(int(value.address), size))
            gdb.parse_and_eval("*(unsigned int *) %d = %d" % (copy + count.bitpos // 8, r.stored))
            listed = []
            step = "if_index_vector_itr_begin"
            while len(listed) < min(in_bitmaps, named):
                if int(gdb.parse_and_eval("((unsigned int (*)(void *, unsigned int *)) %s)((void *) %d, "
                                          "(unsigned int *) %d)" % (step, copy, cursor))) != 0:
                    break
                listed.append(int(gdb.parse_and_eval("*(unsigned int *) %d" % cursor)))
                step = "if_index_vector_itr_incr"
            if r.single != 0 and len(listed) < named:
                listed.append(r.single)
            for ifx in listed:
                gdb.parse_and_eval("((int (*)(char *, unsigned int)) sprintf_if_index)((char *) %d, %d)"
                                   % (name, ifx))
                gdb.write("0x%08x %s\n" % (ifx, gdb.parse_and_eval("(char *) %d" % name).string()))
            if len(listed) < r.stored:
                gdb.write("... %d more (print elements is %d)\n" % (r.stored - len(listed), most))
        finally:
            self._free(block)


def register(objfile):
    """Registers the printers for objfile (None: for every program) and the command."""
    gdb.printing.register_pretty_printer(objfile, Printers(), replace=True)
    InfoCommand()


if __name__ == "__main__":  # `source if_index_vec_printers.py`
    register(None)
