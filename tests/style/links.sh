#!/usr/bin/env bash
# Every relative link in README.md and docs/ resolves: to a file (or folder)
# of the repository, and where it names a heading (#anchor), to a heading of
# that Markdown file, by the anchors GitHub makes: lower case, punctuation
# dropped, blanks as "-", a repeated heading numbered (-1, -2, ...). Links
# inside code blocks and links to other sites are not looked at. Each
# broken link is a failure of its own; all links good is one pass.
# Usage: tests/style/links.sh
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/common.sh"

korvane_results_begin
cd "$KORVANE_ROOT" || exit 1

pages() {
    find README.md docs -name '*.md' 2>/dev/null | LC_ALL=C sort
}

# The text of a page outside its fenced code blocks.
prose() {
    awk '/^[[:space:]]*```/ { fenced = !fenced; next } !fenced' "$1"
}

# anchors PAGE: the anchors of the page's headings, one per line.
anchors() {
    prose "$1" | grep -E '^#{1,6} ' | sed -E 's/^#+ +//; s/ +#*$//' |
        LC_ALL=C awk '{
            s = tolower($0)
            gsub(/[^a-z0-9 _-]/, "", s)
            gsub(/ /, "-", s)
            n = seen[s]++
            print (n ? s "-" n : s)
        }'
}

# links PAGE: the targets of the page's links and images, one per line, as
# written between the parentheses (inline code spans taken out first).
links() {
    # shellcheck disable=SC2016 # the backquotes are sed's, not the shell's
    prose "$1" | sed -E 's/`[^`]*`//g' | grep -oE '\]\([^) ]+\)' | sed -E 's/^\]\(//; s/\)$//'
}

count=0 bad=0
while IFS= read -r page; do
    dir="$(dirname "$page")"
    while IFS= read -r target; do
        case "$target" in
            http://* | https://* | mailto:*) continue ;;
        esac
        count=$((count + 1))
        path="${target%%#*}" anchor=""
        [[ "$target" == *#* ]] && anchor="${target#*#}"
        file="$page"
        [[ -n "$path" ]] && file="$dir/$path"
        if [[ ! -e "$file" ]]; then
            bad=$((bad + 1))
            korvane_fail "link in $page: $target" "no such file: $file"
        elif [[ -n "$anchor" ]] && ! anchors "$file" | grep -qxF -- "$anchor"; then
            bad=$((bad + 1))
            korvane_fail "link in $page: $target" "no heading of $file has the anchor #$anchor"
        fi
    done < <(links "$page")
done < <(pages)

if [[ $count -eq 0 ]]; then
    korvane_fail "links: README.md and docs/ have relative links to check"
elif [[ $bad -eq 0 ]]; then
    korvane_pass "links: all $count relative links of README.md and docs/ resolve"
fi
korvane_results_end
