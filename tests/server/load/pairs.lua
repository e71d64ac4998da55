-- wrk script: each connection alternates a version request and a score report carrying the
-- token it was just given, the way the game submits. Every acknowledged score is written to
-- ACKED_DIR/acked-<offset>-<thread>.txt so the caller can check the table holds each exactly
-- once. Run with one connection per thread (-t N -c N) so replies pair with requests.
-- Arguments after --: the score offset (in hundred thousands, keeps runs apart), ACKED_DIR and,
-- optionally, "spread": each pair then names its own player address in X-Forwarded-For, as a
-- load balancer in front of servers started with --trust-proxy would.
local alphabet = "FTSN8K5BUM9HPE2C7VRG6QDYA4Z3JX1W"
local threads = {}
local nextId = 0

function setup(thread)
  nextId = nextId + 1
  thread:set("id", nextId)
  table.insert(threads, thread)
end

local offset, ackedFile, token, lastScore, spread, player
counter, stored, refused = 0, 0, 0  -- globals: done() reads them through thread:get

function init(args)
  offset = tonumber(args[1] or "0")
  ackedFile = io.open((args[2] or ".") .. "/acked-" .. offset .. "-" .. id .. ".txt", "w")
  spread = args[3] == "spread"
end

-- Five message bytes make 40 bits, eight characters of the alphabet.
local function encode(message)
  local out = {}
  for i = 1, #message, 5 do
    local value = 0
    for j = 0, 4 do value = value * 256 + message:byte(i + j) end
    local group = {}
    for k = 8, 1, -1 do
      local digit = value % 32
      group[k] = alphabet:sub(digit + 1, digit + 1)
      value = (value - digit) / 32
    end
    out[#out + 1] = table.concat(group)
  end
  return table.concat(out)
end

function request()
  if token then
    counter = counter + 1
    lastScore = (offset + id) * 100000 + counter
    local message = "type=0|name=LOAD|score=" .. lastScore .. "|key=R|p=" .. token .. "|add=|z="
    while #message % 5 ~= 0 do message = message .. "0" end
    token = nil
    return wrk.format("GET", "/cgi/version.pl?hs&prg=Rivoltra&inf=" .. encode(message), player)
  end
  lastScore = nil
  if spread then
    local n = counter % 60000
    player = {["X-Forwarded-For"] = "10." .. (offset + id) .. "." .. math.floor(n / 250) .. "." .. (n % 250)}
  end
  return wrk.format("GET", "/cgi/version.pl?version&prg=Rivoltra", player)
end

function response(status, headers, body)
  local issued = body:match("^OK|Rivoltra|0|%d+|(%w+)|")
  if issued then
    token = issued
  elseif lastScore and body:find("^OK|stored|") then
    stored = stored + 1
    ackedFile:write(lastScore, "\n")
    ackedFile:flush()
  else
    refused = refused + 1
  end
end

function done(summary, latency, requests)
  local totalStored, totalRefused = 0, 0
  for _, thread in ipairs(threads) do
    totalStored = totalStored + thread:get("stored")
    totalRefused = totalRefused + thread:get("refused")
  end
  io.write(string.format("pairs: stored %d refused %d\n", totalStored, totalRefused))
end
