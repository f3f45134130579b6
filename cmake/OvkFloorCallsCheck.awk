# The symbol work of OvkFloorCallsCheck.cmake, which runs it as
#   awk -v nm=<nm> -f OvkFloorCallsCheck.awk MANIFEST
# MANIFEST has one line per object file: "floor below,below,... path" (the list of floors below
# may be "-" for none). For each floor, nm lists what its objects define and need. Each use of a
# symbol that some floor defines, but neither the user's floor nor one below it (directly or
# through another floor below), is printed as "object (floor) uses symbol, defined in floors",
# the symbol still mangled. If nm fails, the program says so and ends with status 2.

# The path as one word of a shell command, whatever it holds.
function quoted(text) { gsub(/\047/, "\047\\\047\047", text); return "\047" text "\047" }

# Whether floor "to" is "from" itself or lies below it.
function reaches(from, to,    parts, n, i) {
    if (from == to)
        return 1
    if ((from, to) in known)
        return known[from, to]
    known[from, to] = 0
    n = split(below[from], parts, ",")
    for (i = 1; i <= n; ++i)
        if (parts[i] != "-" && reaches(parts[i], to))
            return known[from, to] = 1
    return 0
}

NF == 3 {
    floors[$1] = 1
    below[$1] = $2
    objects[$1] = objects[$1] " " quoted($3)
}

END {
    for (floor in floors) {
        command = nm " -g -A" objects[floor]
        while ((command | getline line) > 0) {
            n = split(line, field, " ")
            if (n < 3)
                continue
            name = field[n]
            type = field[n - 1]
            object = field[1]
            sub(/:[0-9a-fA-F]*$/, "", object)
            if (type == "U") {
                if (!((floor, name) in needed))
                    needed[floor, name] = object
            } else if (!((name, floor) in definedBy)) {
                definedBy[name, floor] = 1
                definers[name] = definers[name] " " floor
            }
        }
        if (close(command) != 0) {
            print "nm failed on the floor " floor > "/dev/stderr"
            exit 2
        }
    }
    for (key in needed) {
        split(key, part, SUBSEP)
        floor = part[1]
        name = part[2]
        if (!(name in definers))
            continue
        n = split(definers[name], owner, " ")
        allowed = 0
        for (i = 1; i <= n && !allowed; ++i)
            allowed = reaches(floor, owner[i])
        if (!allowed)
            print needed[key] " (" floor ") uses " name ", defined in" definers[name]
    }
}
