Русская
<map>
q й
w ц
</map>
<capsmap>
Q Й
W Ц
</capsmap>
