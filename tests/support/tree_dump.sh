# Sourced by the Wine window tests and scripts/demo: reading the toolkit's tree dumps (the
# gallery's format, first line "window ... scale S ... X Y ...", then one line per control).
#   centre NAME [DUMP [LINE]]   the screen point at the centre of a control in a tree dump
#   field NAME KEY              a KEY= value of a control in $work/dump.txt

# The screen point at the centre of NAME (first shown one) in DUMP (after its line LINE).
centre() {
  local name=$1 dump=${2:-$work/dump.txt} from=${3:-1}
  tail -n +"$from" "$dump" | python3 -c '
import sys, re
name = sys.argv[1]
lines = sys.stdin.read().split("\n")
head = lines[0].split()
x, y, scale = float(head[6]), float(head[7]), float(head[4])
for line in lines[1:]:
    if " name=%s " % name in line and " shown=1 " in line:
        bx, by, bw, bh = map(float, re.search(r"rect=(\S+)", line).group(1).split(","))
        print(int(x + (bx + bw / 2) * scale), int(y + (by + bh / 2) * scale))
        break
' "$name"
}
# field NAME KEY: the KEY= value of NAME's shown line in the dump.
field() {
  grep " name=$1 " "$work/dump.txt" | grep ' shown=1 ' | head -1 | sed "s/.* $2=\([^ ]*\).*/\1/"
}
