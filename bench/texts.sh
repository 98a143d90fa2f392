# Sourced by the scripts that time whole runs of the tool: a temporary folder ($work, removed on
# exit) that is also HOME, so that no personal word list of the user's takes part and nothing is
# written to the user's folders; big.txt ($big); a text of about 100 MB made of big.txt and
# ulysses-pg4300.txt repeated ($large); and big.txt with every line sent as text to an ispell
# pipe ($big_caret: a leading ^, since a line starting with *, &, @, #, !, %, ^, +, -, ~ or $ is
# a command).
texts=${LEXIVANE_BENCH_DATA:-$(dirname "${BASH_SOURCE[0]}")/../../shared/bench}/texts
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config LC_ALL=C.UTF-8

big=$texts/big.txt
large=$work/large.txt
while [ "$(stat -c %s "$large" 2>/dev/null || echo 0)" -lt 100000000 ]; do
  cat "$big" "$texts/ulysses-pg4300.txt" >>"$large"
done
big_caret=$work/big-caret.txt
sed 's/^/^/' "$big" >"$big_caret"
