#!/usr/bin/env bash
# A commissioning record in a real browser: brovane-cli writes the virtual card with --record,
# headless chromium prints the page to PDF, and the PDF must be A4, hold every fact and every
# field's line whole (nothing cut at the page's edge) and mark the changed field in words.
# Usage: record_pdf.sh BIN-FOLDER CARD-REGISTER-FILE [PNG]
# With PNG, the first page is also kept there as a picture (the README's).
set -u
bin=$(realpath "$1") registers=$(realpath "$2") picture=${3:+$(realpath -m "$3")}

fail() {
  echo "record_pdf: $*" >&2
  exit 1
}
command -v chromium >/dev/null || fail "no chromium (scripts/setup.sh test installs it)"
command -v pdftotext >/dev/null || fail "no pdftotext (scripts/setup.sh test installs poppler-utils)"

work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-record.XXXXXX")
card_pid=""
cleanup() {
  if [ -n "$card_pid" ] && kill -0 "$card_pid" 2>/dev/null; then
    kill -TERM "$card_pid" 2>/dev/null
    wait "$card_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || fail "no work folder"

# Every port name leads to the card or to nothing on this machine.
export BROVANE_COM1="$work/COM1"
for n in 2 3 4 5 6 7; do
  export "BROVANE_COM$n=$work/none-$n"
done
"$bin/quorix-sim" --family KFT018 --registers "$registers" --link "$work/COM1" \
  >/dev/null 2>card.log &
card_pid=$!
deadline=$((SECONDS + 10))
while [ ! -e "$work/COM1" ] && [ "$SECONDS" -lt "$deadline" ]; do
  kill -0 "$card_pid" 2>/dev/null || fail "the virtual card did not start: $(cat card.log)"
  sleep 0.05
done
[ -e "$work/COM1" ] || fail "the virtual card made no COM1"

"$bin/brovane-cli" -q read COM1 -o found.cfg || fail "the read failed"
# Two fields change: COM2's address and input 2's delay.
sed -E '0,/^address = 32$/s//address = 12/; 0,/^delay = 500 ms$/s//delay = 750 ms/' found.cfg \
  >wanted.cfg
[ "$(diff found.cfg wanted.cfg | grep -c '^>')" = 2 ] ||
  fail "the card's file has no COM2 address 32 or input delay of 500 ms to change"
mkdir records
"$bin/brovane-cli" -q write COM1 wanted.cfg --verify --record records \
  --operator "A. Technician" >write.out 2>write.err ||
  fail "write --record failed: $(cat write.err)"
page=$(ls records/*.html) text=$(ls records/*.txt)
[ -f "$page" ] && [ -f "$text" ] || fail "no record: $(ls records)"

timeout 120 chromium --headless --no-sandbox --disable-gpu --no-pdf-header-footer \
  --user-data-dir="$work/chromium" --print-to-pdf="$work/record.pdf" "file://$work/$page" \
  >chromium.log 2>&1 || fail "chromium did not print the page: $(tail -5 chromium.log)"
pdfinfo record.pdf >info.txt || fail "pdfinfo cannot read the PDF"
grep -q '^Page size: .*(A4)$' info.txt || fail "the PDF is not A4: $(grep 'Page size' info.txt)"
pdftotext -layout record.pdf printed.txt || fail "pdftotext cannot read the PDF"

# The plain-text record names every fact and field; the printed page must hold each one, a
# field's values in order on one line. Spaces are left out of the comparison: the PDF's text
# spaces words as its layout places them ("5 %" may come out as "5%").
python3 - "$text" printed.txt <<'PY' || exit 1
import re, sys
record = open(sys.argv[1], encoding="utf-8").read().splitlines()
printed = [re.sub(r"\s+", "", line) for line in open(sys.argv[2], encoding="utf-8").read().splitlines()]
whole = "".join(printed)
missing = []
def on_one_line(cells):
    wanted = "".join(re.sub(r"\s+", "", cell) for cell in cells)
    return any(wanted in line for line in printed)
for line in record:
    if not line.strip() or line.endswith(":"):
        continue
    if re.match(r"^[^ ].*?:\s{2,}", line) or re.match(r"^[^ ][^:]*:\s+\S", line):
        value = line.split(":", 1)[1].strip()
        if value and not on_one_line([value]):
            missing.append(line)
        continue
    cells = re.split(r"\s{2,}", line.strip())
    if "changed" in cells:
        cells.remove("changed")
        if "changed" not in " ".join(open(sys.argv[2], encoding="utf-8").read().split()):
            missing.append("the word changed")
    # A field's line: its state and values; its name stands beside the first of its two lines.
    if not on_one_line(cells):
        missing.append(line)
if missing:
    print("record_pdf: not on the printed page, or cut:", *missing, sep="\n  ", file=sys.stderr)
    sys.exit(1)
PY
grep -q "written and verified" printed.txt || fail "the printed page has no verify result"
grep -q "^ *Signature" printed.txt || fail "the printed page has no place for a signature"
[ "$(grep -c ' changed *$' printed.txt)" = 2 ] ||
  fail "the printed page does not mark the two changed fields in words"
if [ -n "$picture" ]; then
  pdftoppm -png -f 1 -l 1 -r 80 -singlefile record.pdf first-page || fail "pdftoppm failed"
  cp first-page.png "$picture" || fail "cannot write $picture"
fi
echo "record_pdf: $(grep Pages info.txt | tr -s ' '), A4, every fact and field printed whole"
