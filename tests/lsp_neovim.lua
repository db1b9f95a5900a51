-- Neovim as a client of `scenario lsp`, for tests/lsp_neovim_test.cpp. Started with
--   nvim --headless --clean -c "luafile tests/lsp_neovim.lua"
-- and these environment variables:
--   SCENARIO_PROGRAM  the program
--   SCENARIO_FILE     the train service to open (its line description beside it, on disk)
--   SCENARIO_PLANTED  the text of the planted mistake, on one line of the file
--   SCENARIO_FIXED    what replaces it
--   SCENARIO_RESULT   the file this script writes: one line per diagnostic ("diagnostic CODE LINE", lines
--                     from 1), then "cleared" once the fix cleared them, then "server exit STATUS"
-- Every wait is bounded; a wait that runs out writes "timeout: ..." and ends Neovim with status 1, as
-- does an error of the script ("error: ...").

local result = {}
local result_path = os.getenv('SCENARIO_RESULT')

local function finish(status)
  local file = assert(io.open(result_path, 'w'))
  file:write(table.concat(result, '\n') .. '\n')
  file:close()
  vim.cmd(status == 0 and 'qall!' or ('cquit ' .. status))
end

local function wait(what, condition)
  if not vim.wait(20000, condition, 20) then
    table.insert(result, 'timeout: ' .. what)
    finish(1)
  end
end

local function main()
  vim.lsp.set_log_level('ERROR')
  vim.cmd('edit ' .. vim.fn.fnameescape(os.getenv('SCENARIO_FILE')))

  local exit_status = nil
  local client = vim.lsp.start_client({
    name = 'scenario',
    cmd = { os.getenv('SCENARIO_PROGRAM'), 'lsp' },
    root_dir = vim.fn.fnamemodify(os.getenv('SCENARIO_FILE'), ':h'),
    on_exit = function(code) exit_status = code end,
  })
  if not client then
    table.insert(result, 'the server did not start')
    finish(1)
  end
  vim.lsp.buf_attach_client(0, client)

  wait('the diagnostics of the planted mistake', function() return #vim.diagnostic.get(0) > 0 end)
  local found = {}
  for _, diagnostic in ipairs(vim.diagnostic.get(0)) do
    table.insert(found, string.format('diagnostic %s %d', tostring(diagnostic.code), diagnostic.lnum + 1))
  end
  table.sort(found)
  for _, line in ipairs(found) do table.insert(result, line) end

  -- The fix, as an author would type it: the planted text replaced on its line.
  local planted = os.getenv('SCENARIO_PLANTED')
  local fixed = os.getenv('SCENARIO_FIXED')
  for number, text in ipairs(vim.api.nvim_buf_get_lines(0, 0, -1, false)) do
    local from, to = string.find(text, planted, 1, true)
    if from then
      local line = string.sub(text, 1, from - 1) .. fixed .. string.sub(text, to + 1)
      vim.api.nvim_buf_set_lines(0, number - 1, number, false, { line })
      break
    end
  end
  wait('the diagnostics to clear after the fix', function() return #vim.diagnostic.get(0) == 0 end)
  table.insert(result, 'cleared')

  vim.lsp.stop_client(client)
  wait('the server to exit', function() return exit_status ~= nil end)
  table.insert(result, 'server exit ' .. tostring(exit_status))
  finish(0)
end

local ok, failure = pcall(main)
if not ok then
  table.insert(result, 'error: ' .. tostring(failure))
  finish(1)
end
