# Run with the example (examples/basic.c, given 0x06000001) stopped in main,
# its record `vec` holding fc1/1-4, fc2/1, port-channel7, iscsi3/6,
# fc-tunnel4095 and mgmt1.
# Prints it as built, under print elements limits and with num_if 0, then
# rewrites it in place: empty, only the single slot (mgmt1, then a type-1
# if_index), garbage, some types full and some empty, then corrupt counts,
# which gdb/MI shows too.  The output after the "--" line is the same on
# every target.
define fill
  python gdb.selected_inferior().write_memory(int(gdb.parse_and_eval("&($arg0)")), bytes([$arg1]) * int(gdb.parse_and_eval("sizeof($arg0)")))
end
set print address off
echo --\n
print vec
info if-index-vector -names vec
print -elements 3 -- vec
set print elements 4
print vec
set print elements 200
set var vec.num_if = 0
info if-index-vector -names vec
set var vec.num_if = 9
print &vec
print vec.iscsi
print/x vec
set print pretty on
print vec
set print pretty off
fill vec.phy_fc.bits 0
fill vec.port_channel.bits 0
fill vec.iscsi.bits 0
fill vec.fc_tunnel.bits 0
set var vec.num_if = 0
set var vec.single_if_index = 0
print vec
set var vec.single_if_index = 0x06000001
set var vec.num_if = 1
info if-index-vector -names vec
set var vec.single_if_index = 0x01000000
info if-index-vector vec
fill vec 0x5a
set print elements 8
print vec
set print elements 200
print (if_index_vector_t *) 16
fill vec 0
set var vec.phy_fc.num_bytes = 128
set var vec.port_channel.num_bytes = 32
set var vec.iscsi.num_bytes = 128
set var vec.fc_tunnel.num_bytes = 512
fill vec.port_channel.bits 0xff
fill vec.fc_tunnel.bits 0xff
set var vec.single_if_index = 0x06000001
set var vec.num_if = 4353
print vec
set var vec.num_if = 70000
set var vec.port_channel.num_bytes = 31
print vec
print vec.port_channel
interpreter-exec mi "-enable-pretty-printing"
interpreter-exec mi "-var-create v * vec"
interpreter-exec mi "-var-list-children --all-values v"
