# SPDX-License-Identifier: MIT
"""gdb's view of libif_index_vec's records.

An if_index_vector_t (a record, a pointer to one, or one inside another
value) prints as its member count, the set positions of each bitmap as the
decimal dump's range text, and the single slot in hexadecimal:

    {num_if = 5, phy_fc = "0-2,5", port_channel = "7", iscsi = "",
     fc_tunnel = "", single_if_index = 0x6000001}

A bitmap alone (vec.phy_fc) prints as its range text.  With `set print
pretty on`, and in IDEs, each field is a child of its own.

The printers call neither the codec nor the program, so a core file prints
as well as a live process.  Counts and the slot are read through gdb's types, so
gdb reads them in the target's byte order; bitmaps are read as bytes, and
position p is bit 7 - p % 8 of byte p / 8 whatever the byte order.  A range
text stops after `print elements` runs (200 by default) with "...".

A record is shown as it is, never "repaired": what disagrees comes first, in
angle brackets, before the fields: a num_if other than the set positions
plus the occupied slot, a byte count other than its bitmap's size.  Memory
that cannot be read prints as <unreadable: gdb's reason>.  The printers
raise nothing.

In a live process, `info if-index-vector EXPR` lists the members by name,
through the library's walk and the codec's sprintf_if_index.

Loading: gdb runs libif_index_vec.so.<version>-gdb.py (installed under
<datadir>/gdb/auto-load) when it loads the library; that file imports this
module and calls register().  `source` this file to register the printers
for every program instead.
"""

import re

import gdb
import gdb.printing

# The record's bitmaps in the library's canonical order.
BITMAPS = ("phy_fc", "port_channel", "iscsi", "fc_tunnel")

_RECORD_NAMES = ("if_index_vector_t", "if_index_vector")
_BITMAP_NAME = re.compile(r"^if_index_bitmap_[0-9]+_t$")


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


def _limit():
    elements = gdb.parameter("print elements")
    return elements if elements else None  # None or 0: unlimited


def range_text(bits, limit=None):
    """Runs of set positions as the decimal dump prints them: 0-2,5,7-8.

    bits is a string of '0'/'1', position 0 first.  At most limit runs are
    written; "..." stands for the rest.
    """
    runs = [(m.start(), m.end() - 1) for m in re.finditer("1+", bits)]
    shown = runs if limit is None else runs[:limit]
    items = ["%d" % a if a == b else "%d-%d" % (a, b) for a, b in shown]
    if len(shown) < len(runs):
        items.append("...")
    return ",".join(items)


class Bitmap:
    """One length-prefixed bitmap, read out of a gdb.Value."""

    def __init__(self, value):
        value.fetch_lazy()
        bits = value["bits"]
        self.size = bits.type.strip_typedefs().sizeof  # bytes, uint8_t each
        self.num_bytes = int(value["num_bytes"])
        self.bits = "".join(format(int(bits[i]) & 0xFF, "08b") for i in range(self.size))
        self.count = self.bits.count("1")

    def complaint(self):
        if self.num_bytes == self.size:
            return None
        return "num_bytes is %d, not %d" % (self.num_bytes, self.size)

    def text(self):
        return '"%s"' % range_text(self.bits, _limit())


def _unreadable(error):
    return "<unreadable: %s>" % error


class Message:
    """A value that could not be read: one text, no children."""

    def __init__(self, text):
        self.text = text

    def to_string(self):
        return self.text


class VectorPrinter:
    """if_index_vector_t: complaints (if any), then the fields as children."""

    def __init__(self, value):
        # One read of the whole record (fields of a fetched value come from
        # its copy); a failed read is found here, before gdb prints anything.
        value.fetch_lazy()
        self.num_if = value["num_if"]
        self.bitmaps = [(name, Bitmap(value[name])) for name in BITMAPS]
        self.single = int(value["single_if_index"])

    def complaints(self):
        found = [name + "." + b.complaint() for name, b in self.bitmaps if b.complaint()]
        counted = sum(b.count for _, b in self.bitmaps) + (self.single != 0)
        if int(self.num_if) != counted:
            found.insert(0, "num_if is %d, counted %d" % (int(self.num_if), counted))
        return found

    def to_string(self):
        found = self.complaints()
        return "<%s>" % "; ".join(found) if found else None

    def children(self):
        yield "num_if", self.num_if  # a gdb.Value: /x and /d apply
        for name, bitmap in self.bitmaps:
            yield name, bitmap.text()
        yield "single_if_index", "0x%x" % self.single


class PointerPrinter:
    """if_index_vector_t *: the address, then the record it points to."""

    def __init__(self, value, record):
        self.value = value
        self.record = record

    def to_string(self):
        text = "(%s)" % self.value.type
        if gdb.parameter("print address"):
            text += " 0x%x" % int(self.value)
        found = self.record.to_string()
        return text + " " + found if found else text

    def children(self):
        return self.record.children() if hasattr(self.record, "children") else iter(())


class BitmapPrinter:
    """if_index_bitmap_*_t on its own: its range text."""

    def __init__(self, bitmap):
        self.bitmap = bitmap

    def to_string(self):
        found = self.bitmap.complaint()
        text = self.bitmap.text()
        return "<%s> %s" % (found, text) if found else text


def _record_printer(value):
    try:
        return VectorPrinter(value)
    except gdb.error as error:  # gdb.MemoryError included
        return Message(_unreadable(error))


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
            if self._enabled(0) and _is_record(t):
                return _record_printer(value)
            stripped = t.strip_typedefs()
            if (self._enabled(1) and stripped.code == gdb.TYPE_CODE_PTR and _is_record(stripped.target())
                    and int(value) != 0):
                return PointerPrinter(value, _record_printer(value.dereference()))
            if self._enabled(2) and _is_bitmap(t):
                return BitmapPrinter(Bitmap(value))
        except gdb.error as error:
            return Message(_unreadable(error))
        return None


class InfoCommand(gdb.Command):
    """Lists the members of an if_index_vector_t by name, through the codec.

Usage: info if-index-vector EXPRESSION
EXPRESSION is a record or a pointer to one.  Each member prints as its
if_index and the name that sprintf_if_index gives it, in the library's
canonical order.  This calls if_index_vector_itr_begin/_itr_incr,
sprintf_if_index, malloc and free in the program, so it needs a live
process; the walk trusts num_if, as the library does.  `print` needs none."""

    NAME_BUFFER = 256  # room for any name, as the library's own listing has

    def __init__(self):
        super().__init__("info if-index-vector", gdb.COMMAND_DATA, gdb.COMPLETE_EXPRESSION)

    def invoke(self, argument, from_tty):
        try:
            self._list(argument)
        except gdb.GdbError:
            raise
        except gdb.error as error:  # no process, no such symbol, ...
            raise gdb.GdbError(str(error)) from None

    def _list(self, argument):
        value = gdb.parse_and_eval(argument)
        if value.type.strip_typedefs().code != gdb.TYPE_CODE_PTR:
            if value.address is None:
                raise gdb.GdbError("%s is not in the program's memory" % argument)
            value = value.address
        if not _is_record(value.type.strip_typedefs().target()):
            raise gdb.GdbError("%s is not an if_index_vector_t or a pointer to one" % argument)
        vec = int(value)
        single = int(value.dereference()["single_if_index"])
        block = int(gdb.parse_and_eval("(unsigned long) malloc(%d)" % (self.NAME_BUFFER + 4)))
        if block == 0:
            raise gdb.GdbError("malloc failed in the program")
        try:
            # The cursor walk hands out the bitmaps' members; the single
            # slot's member only when they are empty, so it is added last.
            cursor = "(unsigned int *) %d" % (block + self.NAME_BUFFER)
            step = "(unsigned int) if_index_vector_itr_begin((void *) %d, %s)" % (vec, cursor)
            members = []
            while len(members) <= 1024 + 256 + 1024 + 4096 and int(gdb.parse_and_eval(step)) == 0:
                members.append(int(gdb.parse_and_eval("*" + cursor)))
                step = "(unsigned int) if_index_vector_itr_incr((void *) %d, %s)" % (vec, cursor)
            if single != 0 and single not in members:
                members.append(single)
            for ifx in members:
                gdb.parse_and_eval("(int) sprintf_if_index((char *) %d, (unsigned int) %d)" % (block, ifx))
                name = gdb.parse_and_eval("(char *) %d" % block).string(length=-1)
                gdb.write("0x%08x %s\n" % (ifx, name))
        finally:
            gdb.parse_and_eval("(void) free((void *) %d)" % block)


def register(objfile):
    """Registers the printers for objfile (None: for every program)."""
    gdb.printing.register_pretty_printer(objfile, Printers(), replace=True)
    InfoCommand()


if __name__ == "__main__":  # `source if_index_vec_printers.py`
    register(None)
